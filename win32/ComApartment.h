#pragma once

namespace win32window {

// COM on the window's thread, as the system's file dialog needs it: a single-threaded apartment
// for as long as this lives. Where COM cannot be had the dialog does not appear, and choosing a
// file ends as a cancelled choice does.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

} // namespace win32window
