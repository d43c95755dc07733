#include "design/DesignIntf.h"

void TDesigner::SelectComponent(TPersistent* Instance) {
  FSelections.clear();
  if (Instance != nullptr) FSelections.push_back(Instance);
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
