#include "update/update_file_name.h"

#include "base/text.h"
#include "common/xr_misc_text.h"
#include "update/update_texts.h"

namespace {

bool IsDeviceName(StringView name) {
  // Windows opens the device whatever extension follows, and ignores trailing blanks.
  String base = TrimRight(name.substr(0, name.find(u'.')));
  base = UpperCase(base);
  static constexpr const Char* kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
  for (const Char* d : kDevices) {
    if (base == d) return true;
  }
  return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) &&
         base[3] >= u'0' && base[3] <= u'9';
}

}  // namespace

bool IsSafeFileName(StringView name) {
  if (name.empty() || name == u"." || name == u".." ||
      name.size() > size_t(update_limit::kMaxFileNameLength)) {
    return false;
  }
  for (Char c : name) {
    if (c < 0x20 || c == 0x7F || StringView(u"\\/:*?\"<>|").find(c) != StringView::npos) {
      return false;
    }
  }
  if (name.back() == u'.' || name.back() == u' ') return false;
  return !IsDeviceName(name);
}

std::optional<String> UpdateFileNameFromUrl(StringView url) {
  const StringView address = url.substr(0, url.find_first_of(u"?#"));
  String name = AfterLastChar(address, u'/');
  if (name.size() == address.size()) return std::nullopt;  // no '/' at all
  if (!IsSafeFileName(name)) return std::nullopt;
  return name;
}
