#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Answers the message boxes and dialogs that this process shows while a test drives the window,
// as a user would, from a thread of its own: each one that appears is handed to the next
// answer, in order. It records what it saw: the title of each and, for a message box, its text
// ("Palvo: Geben Sie ..."). One that appears when no answer is left is recorded and cancelled,
// so that a test fails instead of hanging.
class DialogAnswerer {
public:
    // Runs on the answerer's thread, with the dialog that appeared.
    using Answer = std::function<void(HWND)>;

    explicit DialogAnswerer(std::deque<Answer> answers = {});
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // What appeared so far.
    std::vector<std::string> seen();

private:
    void look();

    std::deque<Answer> answers_;  // the answerer's thread
    std::set<HWND> known_;        // the answerer's thread
    std::mutex mutex_;
    std::vector<std::string> seen_;  // guarded by mutex_
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

// Answers for the usual cases.
DialogAnswerer::Answer pressOk();
DialogAnswerer::Answer pressYes();
DialogAnswerer::Answer pressNo();
DialogAnswerer::Answer cancel();
// Types the path into the file dialog's name field and presses its open button.
DialogAnswerer::Answer chooseFile(const std::string& path);
// Presses the file dialog's open button on what it offers; first notes what its name field
// holds.
DialogAnswerer::Answer acceptOffered(std::string& offered);
// Notes what the file dialog's name field holds, then cancels it.
DialogAnswerer::Answer cancelOffered(std::string& offered);

// A window's text, as UTF-8.
std::string textOf(HWND window);
