#include "design/DesignIntf.h"

#include <algorithm>

namespace {
std::vector<IDesignNotification*>& Notifications() {
  static std::vector<IDesignNotification*> list;
  return list;
}
} // namespace

void RegisterDesignNotification(IDesignNotification* Notification) {
  auto& list = Notifications();
  if (Notification != nullptr && std::find(list.begin(), list.end(), Notification) == list.end())
    list.push_back(Notification);
}

void UnregisterDesignNotification(IDesignNotification* Notification) {
  auto& list = Notifications();
  list.erase(std::remove(list.begin(), list.end(), Notification), list.end());
}

void NotifySelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection) {
  // A copy: a window told of the change may close and unregister.
  const std::vector<IDesignNotification*> list = Notifications();
  for (IDesignNotification* n : list)
    if (std::find(Notifications().begin(), Notifications().end(), n) != Notifications().end())
      n->SelectionChanged(ADesigner, ASelection);
}

void TDesigner::SelectComponent(TPersistent* Instance) {
  FSelections.clear();
  if (Instance != nullptr) FSelections.push_back(Instance);
  NotifySelectionChanged(this, FSelections);
}

void TDesigner::SetSelections(const TDesignerSelections& List) {
  FSelections = List;
  NotifySelectionChanged(this, FSelections);
}

void TRecordingDesigner::Modified() {
  TDesigner::Modified();
  FCalls.push_back({TDesignerCallKind::Modified, {}});
}

void TRecordingDesigner::SelectComponent(TPersistent* Instance) {
  TDesigner::SelectComponent(Instance);
  FCalls.push_back({TDesignerCallKind::SelectComponent, {Instance}});
}

void TRecordingDesigner::SetSelections(const TDesignerSelections& List) {
  TDesigner::SetSelections(List);
  FCalls.push_back({TDesignerCallKind::SetSelections, List});
}
