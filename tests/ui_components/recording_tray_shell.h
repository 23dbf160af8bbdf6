// SPDX-License-Identifier: MIT
#pragma once
// A notification area that records what the tray icon asks of it, and lets a test play the
// desktop's part: accept or refuse adds, place the cursor, hold keys, send mouse notifications.

#include <QMenu>

#include <utility>
#include <vector>

#include "ui/components/tray_shell.h"

struct RecordingTrayState {
  enum Command { Add, Modify, Delete };
  struct Call {
    Command command;
    QString tip;
    qint64 iconKey;
  };
  std::vector<Call> calls;
  std::vector<std::pair<QMenu*, QPoint>> menusShown;
  bool acceptAdd = true;
  bool shown = false;  // whether an icon is in the area now
  QPoint cursor{100, 200};
  ShiftState keys = 0;

  int Count(Command command) const {
    int n = 0;
    for (const Call& call : calls) n += call.command == command;
    return n;
  }
  const Call& Last() const { return calls.back(); }
};

// The tray icon owns its shell; the state stays with the test.
class RecordingTrayShell : public TrayShell {
 public:
  explicit RecordingTrayShell(RecordingTrayState& state) : state_(state) {}

  bool Add(const TrayNotifyRecord& record) override {
    Record(RecordingTrayState::Add, record);
    state_.shown = state_.acceptAdd;
    return state_.acceptAdd;
  }
  void Modify(const TrayNotifyRecord& record) override { Record(RecordingTrayState::Modify, record); }
  void Delete() override {
    state_.calls.push_back({RecordingTrayState::Delete, {}, 0});
    state_.shown = false;
  }
  void ShowMenu(QMenu& menu, QPoint at) override { state_.menusShown.emplace_back(&menu, at); }
  QPoint CursorPos() const override { return state_.cursor; }
  ShiftState KeyState() const override { return state_.keys; }

  void Send(TrayMouse message) const { ReportMouse(message); }

 private:
  void Record(RecordingTrayState::Command command, const TrayNotifyRecord& record) {
    state_.calls.push_back({command, record.tip, record.icon.cacheKey()});
  }

  RecordingTrayState& state_;
};
