#pragma once

#include "model/ItemAction.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPropertyAnimation;
class QPushButton;

namespace vima {

class ElidedLabel;
class ItemEditorModel;
class StatusLine;
class ToneLabel;

// The fields of one action kind in the slot editor. Built when the kind or
// the item changes; refresh() shows the model's current item in place.
class ItemKindSection final : public QWidget {
    Q_OBJECT

public:
    ItemKindSection(ItemEditorModel &model, bool offersTurnIntoPack, QWidget *parent = nullptr);

    ItemAction::Kind kind() const { return kind_; }
    void refresh();

private:
    void buildPack();
    void buildLaunchApp(bool offersTurnIntoPack);
    void buildOpen();
    void buildShell();
    void buildAppleScript();
    void buildAI();
    QLineEdit *addLineRow(const QString &label, const QString &placeholder, int maxWidth,
                          void (ItemEditorModel::*store)(const QString &));
    QPlainTextEdit *addEditor(const QString &heading, int minimumHeight, bool monospaced,
                              void (ItemEditorModel::*store)(const QString &));
    QCheckBox *addToggle(const QString &text, void (ItemEditorModel::*store)(bool));
    QLabel *addCaption(const QString &text);
    void refreshPack();
    void refreshPackTargets();
    void fadeSavedConfirmation(bool shown);

    ItemEditorModel &model_;
    ItemAction::Kind kind_;
    QFormLayout *form_;
    // Fields by kind; only those of kind_ exist.
    QLineEdit *bundleID_ = nullptr;
    QLineEdit *path_ = nullptr;
    QPushButton *turnIntoPack_ = nullptr;
    QLineEdit *target_ = nullptr;
    QLineEdit *shell_ = nullptr;
    QPlainTextEdit *editor_ = nullptr; // script, source or system prompt
    QCheckBox *showOutput_ = nullptr;
    QLabel *note_ = nullptr; // whether an AppleScript runs here
    QComboBox *result_ = nullptr;
    QLineEdit *language_ = nullptr;
    QCheckBox *strongModel_ = nullptr;
    QLineEdit *modelOverride_ = nullptr;
    QComboBox *packTarget_ = nullptr;
    QWidget *packFound_ = nullptr;
    ElidedLabel *packName_ = nullptr;
    ToneLabel *packCount_ = nullptr;
    StatusLine *packMissing_ = nullptr;
    QWidget *saveLine_ = nullptr;
    StatusLine *saved_ = nullptr;
    QPropertyAnimation *savedFade_ = nullptr;
    QWidget *targetLabel_ = nullptr;
};

} // namespace vima
