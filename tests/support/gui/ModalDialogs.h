#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// Runs `act` on the next modal dialog of type D once it is up, for tests
// whose code under test opens it with exec(); `act` must close it. Fails
// the test when none comes within about ten seconds.
template <class D> void onNextModal(std::function<void(D*)> act, int triesLeft = 1000) {
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            act(dialog);
            return;
        }
        if (triesLeft == 0) {
            ADD_FAILURE() << "no " << D::staticMetaObject.className() << " appeared";
            return;
        }
        onNextModal<D>(std::move(act), triesLeft - 1);
    });
}

// A child widget by its object name; fails the test when there is none.
template <class W = QLineEdit> W* child(QWidget* parent, const char* name) {
    W* found = parent->findChild<W*>(name);
    EXPECT_TRUE(found) << "no child " << name;
    return found;
}

} // namespace testsupport
