// The zip component's exception family.
#pragma once

#include "base/exception.h"

QZ_DECLARE_EXCEPTION(EXrZipException, Exception);
QZ_DECLARE_EXCEPTION(EBadZipFile, EXrZipException);
QZ_DECLARE_EXCEPTION(EIncompleteZip, EXrZipException);
QZ_DECLARE_EXCEPTION(ENotAZipFile, EXrZipException);
QZ_DECLARE_EXCEPTION(EFatalUnzipError, EXrZipException);
QZ_DECLARE_EXCEPTION(EUserCanceled, EXrZipException);
QZ_DECLARE_EXCEPTION(EBiggerThanUncompressed, EXrZipException);
QZ_DECLARE_EXCEPTION(ECantWriteUCF, EXrZipException);
QZ_DECLARE_EXCEPTION(ECanceledUnzipToBuffer, EXrZipException);
// A nested call into a component that is already reading or extracting.
QZ_DECLARE_EXCEPTION(EZipBusy, EXrZipException);
QZ_DECLARE_EXCEPTION(EZLibError, Exception);
QZ_DECLARE_EXCEPTION(EZCompressionError, EZLibError);
