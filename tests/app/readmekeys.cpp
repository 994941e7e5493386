// SPDX-License-Identifier: GPL-3.0-or-later
// Prints README's key table from the command table and its key guide:
// tools/readme-keys puts it into README, app.desktop_files compares the two.
#include <cstdio>

#include "core/keyguide.h"

int main()
{
    using namespace chronivel;
    std::puts("| Key | Does |\n|---|---|");
    for (const KeyGuideRow& row : KeyGuide())
        if (const std::string keys = ShownKeys(RowOf(row.command), row.background); !keys.empty())
            std::printf("| %s | %s |\n", keys.c_str(), row.full);
}
