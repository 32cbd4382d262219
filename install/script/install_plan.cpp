#include "install/script/install_plan.h"

#include "install/os/ascii_case.h"

namespace install::script {

InstallPlan::InstallPlan() { group_disk_space.fill(-1); }


}  // namespace install::script
