#pragma once

namespace vima {

// The system's grant that lets this application read and drive other
// applications (selection, synthetic keys, the pointer trigger).
class AccessibilityPermission {
public:
    virtual ~AccessibilityPermission() = default;

    virtual bool isTrusted() const = 0;
    // The system's own request for the grant, where it has one.
    virtual void showSystemPrompt() = 0;
    // The system's settings page where the user grants it, where it has one.
    virtual void openSettings() = 0;
    // Whether that page exists: a button that would open nothing stays hidden.
    virtual bool hasSettings() const = 0;
    // Whether the grant can change while we run; when it cannot, nothing
    // wakes up to look again.
    virtual bool canChange() const = 0;
};

} // namespace vima
