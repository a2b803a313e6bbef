// The QApplication of a widget test program, made once, and a wait that processes events.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

namespace jollix::testing {

inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "jollix_ui_test";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// A first member of a test fixture, so that the application exists before widget members.
struct ApplicationMember {
  ApplicationMember() { EnsureApplication(); }
};

// Processes events until done() holds or a generous limit passes (the limit only keeps a broken
// build from hanging; no test measures time). Returns done().
inline bool ProcessEventsUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

}  // namespace jollix::testing
