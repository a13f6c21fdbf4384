#include "core/text/display_encoding.h"

#include <algorithm>
#include <vector>

namespace lv {
namespace {

std::string& CurrentEncoding() {
    static std::string encoding = "UTF-8";
    return encoding;
}

std::string& Choice() {
    static std::string choice;
    return choice;
}

std::vector<DisplayEncodingListener*>& Listeners() {
    static std::vector<DisplayEncodingListener*> listeners;
    return listeners;
}

bool Listening(const DisplayEncodingListener* listener) {
    const auto& all = Listeners();
    return std::find(all.begin(), all.end(), listener) != all.end();
}

}  // namespace

const std::string& CurrentFileEncoding() {
    return CurrentEncoding();
}

void SetCurrentFileEncoding(std::string encoding) {
    CurrentEncoding() = std::move(encoding);
}

const std::string& ChosenDisplayEncoding() {
    return Choice();
}

const std::string& DisplayEncoding() {
    return Choice().empty() ? CurrentEncoding() : Choice();
}

void ChooseDisplayEncoding(std::string encoding) {
    if (encoding == Choice()) return;
    Choice() = std::move(encoding);
    // A listener may end others (a window that closes another): each is
    // called only while it is still listening.
    const std::vector<DisplayEncodingListener*> listeners = Listeners();
    for (DisplayEncodingListener* listener : listeners)
        if (Listening(listener)) listener->onChange_();
}

DisplayEncodingListener::DisplayEncodingListener(std::function<void()> onChange)
    : onChange_(std::move(onChange)) {
    Listeners().push_back(this);
}

DisplayEncodingListener::~DisplayEncodingListener() {
    auto& all = Listeners();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

}  // namespace lv
