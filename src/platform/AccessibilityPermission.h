#pragma once

namespace vima {

// What reading other applications' selection and sending them synthetic keys
// rest on. On X11 nothing is granted: it takes an X11 session whose server
// offers the XTest extension.
class AccessibilityPermission {
public:
    enum class Trust { trusted, noX11Session, noXTest };

    virtual ~AccessibilityPermission() = default;

    virtual Trust trust() const = 0;
    bool isTrusted() const { return trust() == Trust::trusted; }
    // Whether the trust can change while we run; when it cannot, nothing
    // wakes up to look again.
    virtual bool canChange() const = 0;
};

} // namespace vima
