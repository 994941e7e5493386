// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace chronivel {

// The lines of the current runs, as the drop-down under the readout shows
// them and as the protocol receives them. Hidden until the first START.
class LapList {
public:
    const std::vector<std::string>& Lines() const { return lines_; }
    // Index of the line the closed drop-down shows; -1 when empty.
    int Selected() const { return selected_; }
    bool Visible() const { return visible_; }

    // A new line becomes the selected one.
    void Add(std::string line)
    {
        lines_.push_back(std::move(line));
        selected_ = static_cast<int>(lines_.size()) - 1;
    }
    void SelectFirst() { selected_ = lines_.empty() ? -1 : 0; }
    void Show() { visible_ = true; }
    // A list kept while the program was closed; a selection outside it shows the last line.
    void Restore(std::vector<std::string> lines, int selected)
    {
        lines_ = std::move(lines);
        const int count = static_cast<int>(lines_.size());
        selected_ = selected >= 0 && selected < count ? selected : count - 1;
        visible_ = true;
    }
    void Clear()
    {
        lines_.clear();
        selected_ = -1;
        visible_ = false;
    }

private:
    std::vector<std::string> lines_;
    int selected_ = -1;
    bool visible_ = false;
};

}  // namespace chronivel
