// What start-up makes before any window exists, for the main window to use:
// the machine services, the resources, the disc configuration and how
// language libraries are listed.
#pragma once

#include <windows.h>

#include "tamblor/config/disc_config.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/os/machine.h"
#include "tamblor/os/resources.h"

namespace tamblor::app {

struct Browser {
  os::Machine& machine;
  os::Resources& resources;
  config::DiscConfig& config;
  HINSTANCE instance;
  lang::LanguageSet::FileLister list_files;
};

}  // namespace tamblor::app
