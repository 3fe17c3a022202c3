#include "update/update_file_name.h"

#include "base/text.h"
#include "common/xr_misc_text.h"
#include "unzip/entry_path_check.h"
#include "update/update_texts.h"

bool IsSafeFileName(StringView name) {
  if (name.size() > size_t(update_limit::kMaxFileNameLength) ||
      name.find(u'\x7F') != StringView::npos) {
    return false;
  }
  // The zip component's rule for the names it writes, device names included.
  return IsSafeNameComponent(name);
}

std::optional<String> UpdateFileNameFromUrl(StringView url) {
  const StringView address = url.substr(0, url.find_first_of(u"?#"));
  String name = AfterLastChar(address, u'/');
  if (name.size() == address.size()) return std::nullopt;  // no '/' at all
  if (!IsSafeFileName(name)) return std::nullopt;
  return name;
}
