#include "scan/hand_back.h"

#include "base/path.h"
#include "base/text.h"
#include "common/update_token.h"

namespace {

constexpr StringView kUpdatePrefix = u"VQ10";
constexpr StringView kUpdateSuffix = u"TMP";
constexpr StringView kProgramExtension = u".EXE";

bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

// A drive path ("C:\...") or a UNC path ("\\server\share\...").
bool IsFullPath(StringView path) {
  if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') {
    const Char d = path[0];
    return (d >= u'A' && d <= u'Z') || (d >= u'a' && d <= u'z');
  }
  if (!path.starts_with(u"\\\\")) return false;
  const size_t server = path.find(u'\\', 2);
  if (server == StringView::npos || server == 2) return false;
  const size_t share = path.find(u'\\', server + 1);
  return share != StringView::npos && share > server + 1;
}

}  // namespace

std::vector<String> SplitCommandLine(StringView CommandLine) {
  std::vector<String> args;
  size_t i = 0;
  const size_t n = CommandLine.size();
  while (i < n) {
    while (i < n && CommandLine[i] <= u' ') ++i;
    if (i >= n) break;
    String arg;
    bool quoted = false;
    for (; i < n && (quoted || CommandLine[i] > u' '); ++i) {
      if (CommandLine[i] == u'"') {
        quoted = !quoted;
      } else {
        arg += CommandLine[i];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

bool HandBackSetupPath(const std::vector<String>& Args, String& SetupPath) {
  if (Args.size() < 3 || Args[1] != kUpdateToken) return false;
  SetupPath = Args[2];
  return true;
}

bool IsUpdateFolderName(StringView Name) {
  const String upper = AnsiUpperCase(Name);
  const StringView s = upper;
  if (s.size() <= kUpdatePrefix.size() + kUpdateSuffix.size()) return false;
  if (!s.starts_with(kUpdatePrefix) || !s.ends_with(kUpdateSuffix)) return false;
  const StringView digits =
      s.substr(kUpdatePrefix.size(), s.size() - kUpdatePrefix.size() - kUpdateSuffix.size());
  for (Char c : digits)
    if (!IsDigit(c)) return false;
  return true;
}

bool IsUpdateFolder(StringView Folder, StringView TempDir) {
  const StringView folder = WithoutTrailingSeparators(Folder);
  const StringView temp = WithoutTrailingSeparators(TempDir);
  if (temp.empty() || !IsFullPath(Folder) || !IsFullPath(TempDir)) return false;
  const size_t nameStart = FileNameStart(folder, kBackslashOnly);
  if (nameStart == 0) return false;
  return IsUpdateFolderName(folder.substr(nameStart)) &&
         AnsiUpperCase(folder.substr(0, nameStart - 1)) == AnsiUpperCase(temp);
}

bool IsDeletableSetupPath(StringView Path) {
  return IsFullPath(Path) && Path.size() > kProgramExtension.size() &&
         Path[Path.size() - kProgramExtension.size() - 1] != u'\\' &&
         AnsiUpperCase(Path.substr(Path.size() - kProgramExtension.size())) == kProgramExtension;
}
