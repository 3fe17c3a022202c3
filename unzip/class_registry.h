// The class registry: class names mapped to what creates an object of the class and
// reads and writes its data, and the object records of the "ObjectContainer" form.
//
// Object record: a length byte L (two bytes per UTF-16 code unit, so names have at
// most 127 characters), the class name in UTF-16LE, then the object's own data as
// the class's write procedure produces it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/exception.h"
#include "base/object.h"
#include "base/stream.h"
#include "base/string_list.h"

QZ_DECLARE_EXCEPTION(EClassNotFound, EStreamError);

// Creates a default object of a class (no class-specific set-up).
using TObjectFactory = std::function<std::unique_ptr<TObject>()>;
// Reads the data of one object into it, or writes it.
using TObjectReadProc = std::function<void(TObject& obj, TStream& stream)>;
using TObjectWriteProc = std::function<void(const TObject& obj, TStream& stream)>;

class tRegisterRec : public TObject {
public:
  String ClassName() const override { return u"tRegisterRec"; }
  TObjectFactory FObjectClass;
  TObjectReadProc FReadProc;
  TObjectWriteProc FWriteProc;
};

inline constexpr size_t kMaxStoredClassName = 127;

// The registry of the process: sorted, names compared without regard to case,
// duplicate names ignored; each entry owns its tRegisterRec. It exists from the list
// module's start-up to its shut-down (nullptr outside); nothing in the programs
// registers a class.
TStringList* ClassRegistry();
// Module start-up; the registry of an earlier start stays.
void CreateClassRegistry();
// Module shut-down: frees every entry's record, then the list.
void FreeClassRegistry() noexcept;
// Adds an entry; a name already there keeps its first entry (False). EListError
// outside the module's start-up and shut-down.
bool RegisterZipClass(const String& className, TObjectFactory create, TObjectReadProc read,
                      TObjectWriteProc write);
// Removes an entry; True when there was one.
bool UnregisterZipClass(const String& className);

// The entry of ClassName, nullptr when none (and while there is no registry).
tRegisterRec* FindClassRec(const String& className);
// A new object of the registered class and its read procedure; EClassNotFound
// "Class <%s> not registered" when the name has no entry.
std::unique_ptr<TObject> CreateRegisteredObject(const String& className,
                                                TObjectReadProc& readProc);
// One object record. Short input raises EReadError; an odd length byte raises
// EStreamError; an unknown class raises EClassNotFound.
std::unique_ptr<TObject> ReadObject(TStream& stream);
// EClassNotFound "Nil Source Class!" for nullptr, "Source Class <%s> not registered"
// for a class without an entry; EStreamError for a name over 127 characters. Nothing
// is written when it raises.
void WriteObject(const TObject* obj, TStream& stream);
