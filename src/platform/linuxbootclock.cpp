// SPDX-License-Identifier: GPL-3.0-or-later
#include <fstream>

#include "platform/bootclock.h"

namespace chronivel {

std::string CurrentBootId()
{
    std::ifstream file("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(file, id);
    return id;
}

}  // namespace chronivel
