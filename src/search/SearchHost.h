#pragma once

// What the search dialog needs from the main window.
class SearchHost {
  public:
    virtual ~SearchHost() = default;
    // Moves the main window's scroll bar (range 0..8192) to follow a hit.
    virtual void SetScrollBarPosition(int position) = 0;
};
