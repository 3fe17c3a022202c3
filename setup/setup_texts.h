// The setup program's names, numbers and texts, in one place.
#pragma once

#include "base/string.h"
#include "common/update_token.h"
#include "product.h"

namespace setup_texts {

inline constexpr const Char* kProductName = product::kName;
inline constexpr const Char* kProductVersion = product::kVersion;
inline constexpr Char kProductKey[] = u"Quorlix";  // folder, Start-menu folder, uninstall key
inline constexpr Char kPublisher[] = u"Brevane";
inline constexpr const Char* kWebSite = product::kWebSite;
inline constexpr const Char* kProgramFile = product::kProgramFile;
inline constexpr const Char* kHelpFile = product::kHelpFile;
inline constexpr Char kUninstallProgram[] = u"uninstall.exe";
inline constexpr Char kUninstallLog[] = u"uninstall.dat";
inline constexpr Char kProgramLink[] = u"Quorlix.lnk";
inline constexpr Char kHelpLink[] = u"Quorlix Help.lnk";
inline constexpr Char kHelpDescription[] = u"Quorlix Zeva Help";
inline constexpr const Char* kPayloadFolder = kPayloadFolderName;
inline constexpr const Char* kUpdaterName9x = kLegacyUpdaterName;
inline constexpr Char kUpdaterNameNT[] = u"Update_Quorlix.exe";
inline constexpr Char kUninstallKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlix";
inline constexpr int kEstimatedSizeKB = 2200;
inline constexpr int kSpaceRequiredMB = 3;

inline constexpr Char kAppTitle[] = u"Setup";
inline constexpr Char kCaption[] = u"Setup - Quorlix Zeva";

// Buttons.
inline constexpr Char kNext[] = u"&Next >";
inline constexpr Char kBack[] = u"< &Back";
inline constexpr Char kAccept[] = u"I &Accept";
inline constexpr Char kNo[] = u"&No";
inline constexpr Char kInstall[] = u"&Install";
inline constexpr Char kCancel[] = u"Cancel";
inline constexpr Char kFinish[] = u"&Finish";
inline constexpr Char kBrowse[] = u"Browse...";

// Welcome and finish page.
inline constexpr Char kWelcomeTitle[] = u"Welcome to the Quorlix Zeva setup program";
inline constexpr Char kWelcomeText[] = u"This will install Quorlix Zeva on your computer.";
inline constexpr Char kWelcomeAdvice[] =
    u"It is recommended that you close all other applications you have running before "
    u"continuing.  This will help prevent any conflicts during the installation process.";
inline constexpr Char kLegalNotice[] =
    u"Quorlix Zeva is protected by copyright law. Copyright \u00A9 Brevane.";
inline constexpr Char kRunProgram[] = u"Run program";
inline constexpr Char kFinishTitle[] = u"Installation Complete";
inline constexpr Char kFinishText[] =
    u"Setup has finished installing Quorlix Zeva on your computer.  The application may be "
    u"launched by selecting the installed icons.";
inline constexpr Char kFinishAdvice[] = u"Click Finish to exit Setup.";

// Licence page.
inline constexpr Char kLicenseTitle[] = u"License Agreement";
inline constexpr Char kLicenseDesc[] =
    u"Please read the following License Agreement before continuing.";
inline constexpr Char kLicenseScroll[] =
    u"Use the scroll bar or press the Page Down key to view the rest of the agreement.";
inline constexpr Char kLicenseQuestion[] =
    u"Do you accept all the terms of the preceding License Agreement? If you choose No, Setup "
    u"will close.  To install the program, you must accept this agreement.";

// Destination page.
inline constexpr Char kDestTitle[] = u"Select Destination Location";
inline constexpr Char kDestDesc[] = u"Where should Quorlix Zeva be installed?";
inline constexpr Char kDestLabel[] = u"Setup will install Quorlix Zeva into the following folder.";
inline constexpr Char kDestHint[] =
    u"To continue, click Next.  If you would like to select a different folder, click Browse.";
inline constexpr Char kDestNote[] =
    u"All files will be placed in the folder you select.   No files will be placed in the "
    u"Windows folder.";
inline constexpr Char kSpaceRequired[] = u"Space Required:";
inline constexpr Char kSpaceAvailable[] = u"Space Available:";
inline constexpr Char kBrowseTitle[] = u"Destination Folder";
inline constexpr Char kBadDestination[] =
    u"Please enter a full folder path that starts with a drive, such as "
    u"C:\\Program Files\\Quorlix\\.  A folder name may not contain any of the characters "
    u"* ? \" < > | or a second colon.";

// Start-menu folder page.
inline constexpr Char kStartMenuTitle[] = u"Select Start Menu Folder";
inline constexpr Char kStartMenuDesc[] = u"Where should Setup place the program's shortcuts?";
inline constexpr Char kStartMenuLabel[] =
    u"Setup will create the program's shortcuts in the following Start menu folder.";
inline constexpr Char kStartMenuHint[] = u"To continue, click Next.";
inline constexpr Char kBadStartMenuFolder[] =
    u"Please enter one folder name.  It may not be \".\" or \"..\" nor contain any of the "
    u"characters \\ / : * ? \" < > |.";

// Tasks page.
inline constexpr Char kTasksTitle[] = u"Additional Tasks";
inline constexpr Char kTasksDesc[] = u"Which additional tasks should be performed?";
inline constexpr Char kTasksLine1[] =
    u"Select the additonal tasks you would like Setup to perform when installing";
inline constexpr Char kTasksLine2[] = u"the program, then click Next.";
inline constexpr Char kDesktopShortcut[] = u"Create a Desktop Shortcut";
inline constexpr Char kStartMenuShortcut[] = u"Create a Start Menu Shortcut";

// Ready page and its summary.
inline constexpr Char kReadyTitle[] = u"Ready to Install";
inline constexpr Char kReadyDesc[] =
    u"Setup is now ready to begin installing Quorlix Zeva on your computer.";
inline constexpr Char kReadyText[] =
    u"Click Install to continue with the installation, or click Back if you want to review "
    u"or change any settings.";
inline constexpr Char kSummaryDest[] = u"Destination Location";
inline constexpr Char kSummaryStartMenu[] = u"Start Menu folder";
inline constexpr Char kSummaryTasks[] = u"Additional tasks:";
inline constexpr Char kSummaryDesktop[] = u"Create a desktop shortcut";
inline constexpr Char kSummaryStartMenuLink[] = u"Create a Start Menu shortcut";

// Installing page.
inline constexpr Char kInstallingTitle[] = u"Installing";
inline constexpr Char kInstallingDesc[] =
    u"Please wait while Setup installs Quorlix Zeva on your computer.";
inline constexpr Char kExtracting[] = u"Extracting files...";

// Message boxes.
inline constexpr Char kExitCaption[] = u"Exit Setup?";
inline constexpr Char kExitQuestion[] =
    u"Setup is not complete.  If you quit now, Quorlix Zeva will not be installed.\r\r"
    u"You may run the Setup program again at a later time to complete the installation.\r\r"
    u"Exit Setup?";
inline constexpr Char kFailedCaption[] = u"Setup not complete";
inline constexpr Char kFailedText[] =
    u"Quorlix Zeva could not be installed.  Try running this setup program again as "
    u"Administrator.\r\rTo do this, right click on the setup program and select \"Run As...\" "
    u"or \"Run as administrator\"";

// Support routines.
inline constexpr Char kNoPidlPath[] = u"SHGetPathFromIDList failed : invalid pidl";
inline constexpr Char kNoShellLink[] = u"Cannot create the shell link object";
inline constexpr Char kNoInterface[] = u"Interface not supported";

}  // namespace setup_texts
