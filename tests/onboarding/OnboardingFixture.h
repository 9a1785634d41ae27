#pragma once

#include "async/FakeScheduler.h"
#include "model/RingTemplate.h"
#include "onboarding/OnboardingContext.h"
#include "platform/NotificationCenter.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "platform/fake/FakeActiveApplicationSource.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingWindowController.h"
#include "services/FrontmostAppObserver.h"
#include "services/PermissionsService.h"
#include "StoreTestSupport.h"

#include <QGuiApplication>
#include <QScreen>

namespace vima::test {

// Everything the first-run window uses: a real store in a temporary folder,
// real services over fake desktop parts.
struct OnboardingFixture {
    StoreFixture files;
    ConfigStore &store;
    FakeAccessibilityPermission permission;
    PermissionsService permissions{permission, files.scheduler};
    FakeActiveApplicationSource activeApps;
    FrontmostAppObserver frontmost{activeApps};
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeKeyboardGrab keyboard;
    FakeScreenBackdrop backdrop;
    FakeApplicationCatalog catalog;
    RingWindowController ring{store, RingWindowServices{haptics, beep, keyboard, backdrop, catalog, files.scheduler}};
    NotificationCenter notifications;

    // The replace confirmation's answers, in order; asked templates recorded.
    QList<bool> replaceAnswers;
    QStringList askedToReplace;

    // `config`: the configuration file found at start-up; none: a first launch.
    explicit OnboardingFixture(const std::optional<VimaConfig> &config = {})
        : store(config ? files.open(*config) : files.open())
    {
        ring.pointerPosition = [] { return QPointF(QGuiApplication::primaryScreen()->geometry().center()); };
    }

    OnboardingContext context()
    {
        return {store, permissions, frontmost, ring, notifications,
                [this](const RingTemplate &ringTemplate, std::function<void()> replace) {
                    askedToReplace.append(ringTemplate.id);
                    if (!replaceAnswers.isEmpty() && replaceAnswers.takeFirst())
                        replace();
                }};
    }

    // Titles of the default ring as the template would make it.
    QStringList madeTitles(const RingTemplate &ringTemplate) const
    {
        const auto made = ringTemplate.makeRings(store.config().slotCount, store.config().ai.defaultTargetLanguage);
        return titles(made.first());
    }
    static QStringList titles(const Ring &ring)
    {
        QStringList result;
        for (const RingItem &item : ring.items)
            result.append(item.title);
        return result;
    }
    QStringList primaryTitles() const { return titles(store.config().primaryRing()); }
    QStringList savedPrimaryTitles() const
    {
        return titles(ConfigStore::decode(readAll(files.file())).primaryRing());
    }
};

} // namespace vima::test
