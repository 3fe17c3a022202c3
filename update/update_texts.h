// Texts and fixed names of the update client, in one place.
#pragma once

#include <cstdint>

#include "base/string.h"
#include "common/update_token.h"

namespace update_text {
inline constexpr const Char* kLatestVersion = u"You have the latest version of ";
inline constexpr const Char* kVersionCaption = u", Version ";
inline constexpr const Char* kUpdateCaption = u" Update";
inline constexpr const Char* kUpdateError =
    u"There was a problem checking for or installing the update.  The program could not be "
    u"updated";
inline constexpr const Char* kServerNotFound =
    u" because the update server was not found.  Please check your internet connection and try "
    u"again.";
inline constexpr const Char* kDownloadFailed =
    u".  Please check your internet connection and try again.";
// The update arrived but its setup program is not there or did not start.
inline constexpr const Char* kSetupNotStarted =
    u".  The setup program of the update could not be started.";
// The archive came but the zip component refused some of it.
inline constexpr const Char* kUnpackFailed = u".  The update could not be unpacked.";
// Why an unpacking was ended (not shown either).
inline constexpr const Char* kEntryDamaged = u"An entry of the update archive is damaged.";
// Why a download was ended (not shown: a failed download has its own box).
inline constexpr const Char* kDownloadRefused =
    u"The update download was too large or made too little progress.";
inline constexpr const Char* kDownloadedBefore = u"Updated version of ";
inline constexpr const Char* kDownloadedAfter =
    u" has been downloaded.  Please click OK to restart the program and complete the update.";
inline constexpr const Char* kProgressCaption = u"Updating...";
inline constexpr const Char* kPercentDone = u"% done";
inline constexpr const Char* kKilobytes = u" KB";
}  // namespace update_text

namespace update_name {
inline constexpr const Char* kUpdaterParameters = u"%s \"%s\" \"%s\" \"%s\"";
inline constexpr const Char* kFilesFolder = u"\\Files\\";
inline constexpr const Char* kFolderPrefix = u"vq10";
inline constexpr const Char* kFolderSuffix = u"tmp";
inline constexpr const Char* kLegacySetupName = kLegacyUpdaterName;
inline constexpr const Char* kSetupNamePrefix = u"Update_";
inline constexpr const Char* kExecutableExtension = u".exe";
inline constexpr const Char* kExecutableParameter = u"update";
// The only targets the open action hands to the shell.
inline constexpr const Char* kOpenableSchemes[] = {u"http://", u"https://"};
}  // namespace update_name

namespace update_limit {
// A version file is a few short lines; more is not one.
inline constexpr int64_t kMaxVersionFileSize = 64 * 1024;
// An update archive holds the program, its help and the setup program; far more is not one.
inline constexpr int64_t kMaxArchiveSize = 256 * 1024 * 1024;
// A download that brings less than this over a minute is stalled: it fails.
inline constexpr uint32_t kStallWindowMs = 60 * 1000;
inline constexpr int64_t kMinBytesPerStallWindow = 16 * 1024;
// Update folders tried before giving up (each check leaves one until the next start).
inline constexpr int kMaxUpdateFolders = 9999;
inline constexpr int kMaxFileNameLength = 255;
// System error codes the folder search tells apart.
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAlreadyExists = 183;
}  // namespace update_limit
