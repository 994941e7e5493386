// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings file reader (run by tools/fuzz). Any bytes
// must parse without a crash, and whatever values come out, even of a damaged
// file, must survive being written and read again: they are what the next
// save keeps.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/regfile.h"
#include "core/textencoding.h"

namespace {

constexpr std::string_view Key = "HKEY_CURRENT_USER\\Software\\Orvantis\\Fuzz";

// `file` is one we wrote: UTF-16 after its byte-order mark.
[[noreturn]] void Fail(const char* what, const std::string& file)
{
    const std::string text = chronivel::Utf16LeToUtf8(std::string_view(file).substr(2));
    std::fprintf(stderr, "regfile_fuzz: %s\n--- written file ---\n%s\n---\n", what, text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace chronivel;
    const RegFileParse first = ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), Key);
    if (first.problem && (first.problem->line < 0 || first.problem->reason.empty()))
        Fail("a problem without a line or reason", "");
    if (!first.keyFound && !first.values.empty()) Fail("values without their key", "");

    const std::string written = WriteRegFile(Key, first.values);
    const RegFileParse again = ParseRegFile(written, Key);
    if (again.problem) Fail(("a problem in a written file: " + again.problem->reason).c_str(), written);
    if (!again.keyFound) Fail("no key in a written file", written);
    if (again.values != first.values) Fail("the values changed on the way through a file", written);
    if (WriteRegFile(Key, again.values) != written) Fail("a second writing differs from the first", written);
    return 0;
}
