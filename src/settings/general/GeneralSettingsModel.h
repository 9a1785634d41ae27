#pragma once

#include "model/RingTemplate.h"
#include "services/SystemShortcuts.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

class QWidget;

namespace vima {

struct SettingsContext;

// The General tab without its widgets: what each section shows beyond its
// bound fields, and the tab's actions (replacing the default ring, the
// configuration file's export, import and reset).
class GeneralSettingsModel final : public QObject {
    Q_OBJECT

public:
    static const QString showOnboardingNotification; // "com.vima.Vima.showOnboarding"
    static const QList<qint64> slotCounts;

    struct LoginNote {
        enum class Kind { caption, error };
        Kind kind;
        QString text;
    };
    struct AppRingChip {
        QUuid id;
        QString bundleID;
        QString name;
        bool operator==(const AppRingChip &) const = default;
    };

    explicit GeneralSettingsModel(SettingsContext &context, QObject *parent = nullptr);

    // Each time the tab shows: the login toggle reads the system's state.
    void tabShown();

    std::optional<SystemShortcuts::Reservation> hotkeyReservation() const;
    bool isLaunchAtLoginOn() const;
    void setLaunchAtLogin(bool on);
    LoginNote loginNote() const;
    bool showsAccessibilityWarning() const;
    // The Permissions tab says what the long-press lacks.
    void openPermissions();
    // A slot count that would leave items out of sight is refused: a beep
    // and an alert that says which ring.
    bool acceptsSlotCount(qint64 count, QWidget *parent);
    // After the user changed the slot count.
    void slotCountEdited();
    QList<AppRingChip> appRingChips() const;

    QString selectedTemplateID() const { return selectedTemplateID_; }
    void setSelectedTemplateID(const QString &id);
    std::optional<RingTemplate> selectedTemplate() const;
    static QString previewLine(const RingTemplate &ringTemplate);
    QCoro::Task<void> replaceDefaultRing(QWidget *parent);
    void showIntroduction();

    QString configPath() const;
    // Shows the configuration file in the file manager; when nothing can,
    // the section's failure line says what to install.
    QCoro::Task<void> revealConfig();
    // The last failure of an export, import or reveal.
    std::optional<QString> importError() const { return importError_; }
    QCoro::Task<void> exportConfig(QWidget *parent);
    QCoro::Task<void> importConfig(QWidget *parent);
    QCoro::Task<void> confirmReset(QWidget *parent);

Q_SIGNALS:
    void hotkeyReservationChanged();
    void loginChanged();
    void accessibilityWarningChanged();
    void appRingsChanged();
    void selectedTemplateChanged();
    void importErrorChanged();

private:
    void setImportError(const std::optional<QString> &error);

    SettingsContext &context_;
    QString selectedTemplateID_;
    std::optional<QString> importError_;
};

} // namespace vima
