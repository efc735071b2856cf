#pragma once
#include <QString>

namespace palomind::testing {

// Qt's warnings point at real faults (a bad connection, a layout problem, a
// painter on a device that failed), so in every Qt test program a warning
// nobody expected fails the test during which it came, from whichever thread.
// Complaints about the machine rather than the code are let through.
void FailTestsOnQtWarnings();

// A Qt warning containing `fragment` is part of the behaviour under test
// while this object lives.
class ExpectedQtWarning {
  public:
    explicit ExpectedQtWarning(const QString& fragment);
    ~ExpectedQtWarning();
    ExpectedQtWarning(const ExpectedQtWarning&) = delete;
    ExpectedQtWarning& operator=(const ExpectedQtWarning&) = delete;

  private:
    QString fragment_;
};

}  // namespace palomind::testing
