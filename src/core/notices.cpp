// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/notices.h"

#include <algorithm>

namespace chronivel {

bool Notices::Tell(Notice notice)
{
    if (const Notice* same = Find(notice.topic); same && *same == notice && same == &notices_.back()) return false;
    Clear(notice.topic);
    notices_.push_back(std::move(notice));
    return true;
}

bool Notices::Clear(NoticeTopic topic)
{
    return std::erase_if(notices_, [topic](const Notice& n) { return n.topic == topic; }) > 0;
}

bool Notices::Read()
{
    return std::erase_if(notices_, [](const Notice& n) { return n.kind == Notice::Kind::News; }) > 0;
}

const Notice* Notices::Find(NoticeTopic topic) const
{
    const auto found =
        std::find_if(notices_.begin(), notices_.end(), [topic](const Notice& n) { return n.topic == topic; });
    return found == notices_.end() ? nullptr : &*found;
}

}  // namespace chronivel
