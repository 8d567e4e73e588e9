#pragma once

#include "core/draw/cool_pane_model.h"

#include <map>
#include <vector>

namespace tovrin::test {

// Records what the pane's state asks of its window; captions measure 40 x 16 unless told.
class FakePaneHost : public CoolPaneHost {
public:
    TextExtent MeasureCaption(int32_t textId) override {
        measured.push_back(textId);
        return extent;
    }
    void SetPaneTimer(int id, int ms) override { timers[id] = ms; }
    void KillPaneTimer(int id) override { timers.erase(id); }
    void InvalidatePane(const RECT& r) override { invalidated.push_back(r); }
    void InvalidateWholePane() override { ++wholeRepaints; }
    void SendPaneCommand(int id) override { commands.push_back(id); }
    void RefreshHover() override { ++hoverRefreshes; }

    bool TimerRunning(int id) const { return timers.count(id) != 0; }
    void Clear() {
        invalidated.clear();
        commands.clear();
        wholeRepaints = 0;
        hoverRefreshes = 0;
    }

    TextExtent extent{40, 16};
    std::vector<int32_t> measured;
    std::map<int, int> timers;
    std::vector<RECT> invalidated;
    int wholeRepaints = 0;
    std::vector<int> commands;
    int hoverRefreshes = 0;
};

} // namespace tovrin::test
