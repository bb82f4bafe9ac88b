// The network tests run with an event loop on the main thread, as the game does.

#include <signal.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
