// The text a body's page shows, as the browser has laid it out.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTest>

#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/locked_page.h"

namespace velmora::test {

inline QString PlainText(BodyDisplay& body) {
    QString text;
    bool done = false;
    body.Page()->toPlainText([&](const QString& result) {
        text = result;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
    return text;
}

}  // namespace velmora::test
