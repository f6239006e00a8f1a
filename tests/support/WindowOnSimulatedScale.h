#pragma once

#include "app/frmMain.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

// The window with "Other" -> "Simulated scale" chosen and opened on tab Port, on a manual
// clock. The built-in scale is one for the whole program, so its faults are cleared before
// and after each test.
class WindowOnSimulatedScale : public ::testing::Test {
protected:
    void SetUp() override {
        scale().clearFaults();
        window.setClock(clock);
        window.setExitFunction([] {});
        auto* other = window.findChild<QComboBox*>(QStringLiteral("cboComOther"));
        const int entry = other->findText(QStringLiteral("Simulated scale"));
        ASSERT_GE(entry, 0);
        other->setCurrentIndex(entry);
        Q_EMIT other->activated(entry);
        ASSERT_TRUE(window.findChild<QRadioButton*>(QStringLiteral("optComOther"))->isChecked());
        QTest::mouseClick(button("cmdPortOpen"), Qt::LeftButton);
        ASSERT_EQ(window.statusText(), QStringLiteral("open port sim"));
    }
    void TearDown() override { scale().clearFaults(); }

    static SimulatedScale& scale() { return embeddedScale(); }
    QPushButton* button(const char* name) {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void withFault(const char* text) { scale().addFaults(*parseFaults(QString::fromLatin1(text))); }

    ManualClock clock;
    frmMain window;
};
