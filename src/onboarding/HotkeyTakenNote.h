#pragma once

#include <QWidget>

namespace vima {

class OnboardingModel;

// Under the hotkey's name while the hotkey could not be registered: says so,
// and offers the General tab where another one is picked.
class HotkeyTakenNote : public QWidget {
    Q_OBJECT

public:
    explicit HotkeyTakenNote(OnboardingModel &model, QWidget *parent = nullptr);
};

} // namespace vima
