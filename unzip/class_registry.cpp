#include "unzip/class_registry.h"

#include <utility>

#include "base/format.h"
#include "unzip/unzip_messages.h"

namespace {
// Made by the list module's start-up and freed, entries first, by its shut-down.
std::unique_ptr<TStringList> g_classRegistry;
}  // namespace

TStringList* ClassRegistry() { return g_classRegistry.get(); }

void CreateClassRegistry() {
  if (g_classRegistry) return;
  auto registry = std::make_unique<TStringList>();
  registry->SetSorted(true);
  registry->SetDuplicates(TDuplicates::dupIgnore);
  registry->SetCaseSensitive(false);
  g_classRegistry = std::move(registry);
}

void FreeClassRegistry() noexcept {
  if (!g_classRegistry) return;
  g_classRegistry->Clear();
  g_classRegistry.reset();
}

bool RegisterZipClass(const String& className, TObjectFactory create, TObjectReadProc read,
                      TObjectWriteProc write) {
  TStringList* registry = ClassRegistry();
  if (!registry) throw EListError(io_text::kNoClassRegistry);
  int index = 0;
  if (registry->Find(className, index)) return false;
  auto rec = std::make_unique<tRegisterRec>();
  rec->FObjectClass = std::move(create);
  rec->FReadProc = std::move(read);
  rec->FWriteProc = std::move(write);
  registry->AddObject(className, std::unique_ptr<TObject>(std::move(rec)));
  return true;
}

bool UnregisterZipClass(const String& className) {
  TStringList* registry = ClassRegistry();
  int index = 0;
  if (!registry || !registry->Find(className, index)) return false;
  registry->Delete(index);
  return true;
}

tRegisterRec* FindClassRec(const String& className) {
  TStringList* registry = ClassRegistry();
  int index = 0;
  if (!registry || !registry->Find(className, index)) return nullptr;
  return static_cast<tRegisterRec*>(registry->Objects(index));
}

std::unique_ptr<TObject> CreateRegisteredObject(const String& className,
                                                TObjectReadProc& readProc) {
  tRegisterRec* rec = FindClassRec(className);
  if (!rec || !rec->FObjectClass)
    throw EClassNotFound(Format(io_text::kClassNotRegistered, {className}));
  readProc = rec->FReadProc;
  return rec->FObjectClass();
}

std::unique_ptr<TObject> ReadObject(TStream& stream) {
  uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  if (length % 2 != 0) throw EStreamError(Format(io_text::kClassNameLength, {int(length)}));
  uint8_t bytes[255];
  stream.ReadBuffer(bytes, length);
  String name(length / 2, u'\0');
  for (size_t i = 0; i < name.size(); ++i)
    name[i] = Char(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  TObjectReadProc readProc;
  std::unique_ptr<TObject> obj = CreateRegisteredObject(name, readProc);
  if (readProc) readProc(*obj, stream);
  return obj;
}

void WriteObject(const TObject* obj, TStream& stream) {
  if (!obj) throw EClassNotFound(io_text::kNilSourceClass);
  const String name = obj->ClassName();
  tRegisterRec* rec = FindClassRec(name);
  if (!rec) throw EClassNotFound(Format(io_text::kSourceNotRegistered, {name}));
  if (name.size() > kMaxStoredClassName)
    throw EStreamError(Format(io_text::kClassNameTooLong, {name}));
  uint8_t bytes[1 + 2 * kMaxStoredClassName];
  bytes[0] = uint8_t(2 * name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    bytes[1 + 2 * i] = uint8_t(name[i] & 0xFF);
    bytes[2 + 2 * i] = uint8_t(name[i] >> 8);
  }
  stream.WriteBuffer(bytes, int32_t(1 + 2 * name.size()));
  if (rec->FWriteProc) rec->FWriteProc(*obj, stream);
}
