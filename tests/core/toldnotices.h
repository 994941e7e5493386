// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/chronivelapp.h"

namespace chronivel::testing {

// A view that hears every notice as the model tells it.
class ToldNotices final : public AppView {
public:
    ToldNotices(ChronivelApp& app, std::function<void(const Notice&)> heard) : app_(app), heard_(std::move(heard))
    {
        app_.AddView(*this);
    }
    ToldNotices(ChronivelApp& app, std::vector<std::string>& told)
        : ToldNotices(app, [&told](const Notice& notice) { told.push_back(notice.text); })
    {
    }
    ~ToldNotices() override { app_.RemoveView(*this); }

private:
    void NoticesChanged() override
    {
        const std::vector<Notice>& now = app_.Told().All();
        for (const Notice& notice : now)
            if (std::find(before_.begin(), before_.end(), notice) == before_.end()) heard_(notice);
        before_ = now;
    }

    ChronivelApp& app_;
    std::function<void(const Notice&)> heard_;
    std::vector<Notice> before_;
};

}  // namespace chronivel::testing
