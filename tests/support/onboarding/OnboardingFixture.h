#pragma once

#include "SettingsHarness.h"

#include "model/RingTemplate.h"
#include "onboarding/OnboardingContext.h"
#include "platform/fake/FakeActiveApplicationSource.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakePointerGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingWindowController.h"
#include "services/FrontmostAppObserver.h"

#include <QGuiApplication>
#include <QScreen>

namespace vima::test {

// Everything the first-run window uses: the settings' fakes around a real
// store in a temporary folder, and a real ring over fake desktop parts.
struct OnboardingFixture {
    SettingsHarness harness;
    ConfigStore &store;
    SettingsContext &settings;
    FakeAccessibilityPermission &permission = harness.accessibility;
    FakeUiPrompts &prompts = harness.prompts;
    FakeScheduler &scheduler = harness.fixture.scheduler;
    FakeActiveApplicationSource activeApps;
    FrontmostAppObserver frontmost{activeApps};
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeKeyboardGrab keyboard;
    FakePointerGrab pointerGrab;
    FakeScreenBackdrop backdrop;
    RingWindowController ring{store, RingWindowServices{haptics, beep, keyboard, pointerGrab, backdrop, harness.catalog, scheduler}};

    // `config`: the configuration file found at start-up; none: a first launch.
    explicit OnboardingFixture(const std::optional<VimaConfig> &config = {})
        : store(config ? harness.fixture.open(*config) : harness.fixture.open())
        , settings(harness.context())
    {
        ring.pointerPosition = [] { return QPointF(QGuiApplication::primaryScreen()->geometry().center()); };
    }

    OnboardingContext context() { return {settings, frontmost, ring}; }

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
        return titles(ConfigStore::decode(readAll(harness.fixture.file())).primaryRing());
    }
};

} // namespace vima::test
