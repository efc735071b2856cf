#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

namespace palomind::testing {

// Routes Qt's warnings into a list that QtGuardedTest checks after every test, so a
// warning nobody expected fails the test that caused it.
void InstallQtMessageGuard();

// Base fixture: fails the test on any Qt warning not announced with
// ExpectQtWarning beforehand.
class QtGuardedTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A warning containing this text is part of the behaviour under test.
    void ExpectQtWarning(const QString& fragment);

  private:
    QStringList expected_;
};

}  // namespace palomind::testing
