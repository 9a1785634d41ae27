#include "ui/FollowPalette.h"

#include <QCoreApplication>
#include <QEvent>

namespace vima {

namespace {

class PaletteNotifier final : public QObject {
    Q_OBJECT

public:
    PaletteNotifier() { QCoreApplication::instance()->installEventFilter(this); }

    static PaletteNotifier &instance()
    {
        static auto *notifier = new PaletteNotifier; // lives as long as the application
        return *notifier;
    }

Q_SIGNALS:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
            Q_EMIT changed();
        return false;
    }
};

} // namespace

void followPalette(QObject *owner, std::function<void()> apply)
{
    apply();
    QObject::connect(&PaletteNotifier::instance(), &PaletteNotifier::changed, owner, std::move(apply));
}

} // namespace vima

#include "FollowPalette.moc"
