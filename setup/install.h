// The install step without its window: payload copy, uninstall entry, Start-menu
// folder, shortcuts and uninstall log.
#pragma once

#include <functional>

#include "base/string.h"
#include "setup/install_choices.h"

// The running setup program: its folder (ending in a backslash), which holds the
// payload folder, and its own file name, which the payload copy passes over.
struct TSetupProgram {
  String Dir, ExeName;
};

// Installs as chosen. stepProgress runs once the destination exists, once per copied
// file and once after the shortcuts. A file-system failure raises EInOutError; what is
// done by then stays.
void InstallProgram(const TInstallChoices& choices, const TSetupProgram& setup,
                    const std::function<void()>& stepProgress);
