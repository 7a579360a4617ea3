// The headers that most translation units of a target parse, compiled once per target in the
// sanitizer and fuzz builds (ORVO_PCH). Only system and third-party headers belong here: the
// project's own headers would hide a missing include of a layer, and would rebuild every target
// on each change. Qt and the test frameworks come in only for the targets that link them, as
// their link brings the macros tested below, so no layer below the platform sees Qt.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifdef QT_WIDGETS_LIB
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#endif

#ifdef QT_TESTLIB_LIB
#include <QTest>
#endif

#ifdef GTEST_HAS_PTHREAD
#include <gtest/gtest.h>
#endif
