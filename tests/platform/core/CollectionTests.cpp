#include "platform/core/Core.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TNote : public TCollectionItem {
  RIX_CLASS_NAME(TNote)
public:
  using TCollectionItem::TCollectionItem;
  int Value() const { return FValue; }
  void SetValue(int V) {
    if (V < 0) throw ERangeError("negative");
    FValue = V;
    Changed(false);
  }
  void Touch(bool All) { Changed(All); }
  void Assign(TPersistent* Source) override {
    if (auto* n = dynamic_cast<TNote*>(Source)) {
      SetValue(n->FValue);
      return;
    }
    TCollectionItem::Assign(Source);
  }

private:
  int FValue = 0;
};

// Records every Update it is sent: the item, or nullptr for "everything".
class TRecording : public TOwnedCollection {
  RIX_CLASS_NAME(TRecording)
public:
  explicit TRecording(TPersistent* Owner = nullptr) : TOwnedCollection(Owner, rix::ItemClass<TNote>()) {}
  std::vector<TCollectionItem*> Updates;
  std::vector<TCollectionNotification> Notes;
  TNote* Note(int I) const { return static_cast<TNote*>(Items(I)); }

protected:
  void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
  void Notify(TCollectionItem*, TCollectionNotification Action) override { Notes.push_back(Action); }
};

TEST(Collection, NestedUpdateBracketsReportOneWholeUpdate) {
  TRecording c;
  c.BeginUpdate();
  c.BeginUpdate();
  c.Add();
  static_cast<TNote*>(c.Add())->SetValue(3);
  c.EndUpdate();
  EXPECT_TRUE(c.Updates.empty());
  c.EndUpdate();
  ASSERT_EQ(c.Updates.size(), 1u);
  EXPECT_EQ(c.Updates[0], nullptr);
  c.EndUpdate();  // unbalanced: nothing
  EXPECT_EQ(c.Updates.size(), 1u);
}

TEST(Collection, ItemChangesReportTheItemOrEverything) {
  TRecording c;
  TNote* n = static_cast<TNote*>(c.Add());
  c.Updates.clear();
  n->Touch(false);
  n->Touch(true);
  ASSERT_EQ(c.Updates.size(), 2u);
  EXPECT_EQ(c.Updates[0], n);
  EXPECT_EQ(c.Updates[1], nullptr);
}

TEST(Collection, AddReportsOnceTheItemIsWhole) {
  TRecording c;
  c.Add();
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
  EXPECT_EQ(c.Notes, std::vector<TCollectionNotification>{cnAdded});
}

TEST(Collection, FreeingAnItemRemovesItAndReports) {
  TRecording c;
  c.Add();
  TCollectionItem* b = c.Add();
  c.Add();
  c.Updates.clear();
  delete b;
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
  EXPECT_EQ(c.Notes.back(), cnExtracting);
  c.Delete(0);
  EXPECT_EQ(c.Count(), 1);
}

TEST(Collection, ClearFreesEveryItemWithOneUpdate) {
  TRecording c;
  for (int i = 0; i < 5; ++i) c.Add();
  c.Updates.clear();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
}

TEST(Collection, IdsAreUniqueAndIndexFollowsMoves) {
  TRecording c;
  TCollectionItem* a = c.Add();
  TCollectionItem* b = c.Add();
  TCollectionItem* d = c.Add();
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(d->ID(), 2);
  delete b;
  EXPECT_EQ(c.Add()->ID(), 3);
  EXPECT_EQ(c.FindItemID(2), d);
  d->SetIndex(0);
  EXPECT_EQ(d->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_THROW(d->SetIndex(7), EListError);
  EXPECT_EQ(d->Index(), 0);
  TCollectionItem* ins = c.Insert(1);
  EXPECT_EQ(ins->Index(), 1);
  EXPECT_THROW(c.Items(9), EListError);
}

TEST(Collection, AssignCopiesItemsInOneBracket) {
  TRecording src, dst;
  for (int v : {4, 5, 6}) static_cast<TNote*>(src.Add())->SetValue(v);
  dst.Add();
  dst.Updates.clear();
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 3);
  EXPECT_EQ(dst.Note(2)->Value(), 6);
  EXPECT_EQ(dst.Updates, std::vector<TCollectionItem*>{nullptr});
}

TEST(Collection, FailedAssignKeepsTheOldItems) {
  TRecording src, dst;
  static_cast<TNote*>(dst.Add())->SetValue(1);
  src.Add();
  src.Add();
  // A source item the target's items cannot copy.
  auto* bad = new TCollectionItem(&src);
  (void)bad;
  EXPECT_THROW(dst.Assign(&src), EConvertError);
  ASSERT_EQ(dst.Count(), 1);
  EXPECT_EQ(dst.Note(0)->Value(), 1);
  TStringList notACollection;
  EXPECT_THROW(dst.Assign(&notACollection), EConvertError);
}

TEST(Collection, OwnerAndNamePath) {
  TComponent owner(nullptr);
  owner.SetName("Grid1");
  TRecording c(&owner);
  c.SetPropName("Columns");
  TCollectionItem* i = c.Add();
  EXPECT_EQ(c.GetOwner(), &owner);
  EXPECT_EQ(i->GetOwner(), &c);
  EXPECT_EQ(i->Collection(), &c);
  EXPECT_EQ(i->GetNamePath(), "Grid1.Columns[0]");
}

TEST(Collection, UpdateBracketClosesOnError) {
  TRecording c;
  try {
    rix::TUpdateBracket<TCollection> b(c);
    static_cast<TNote*>(c.Add())->SetValue(-1);
  } catch (const ERangeError&) {
  }
  EXPECT_EQ(c.UpdateCount(), 0);
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
}

TEST(Collection, ItemMovesBetweenCollections) {
  TRecording a, b;
  TCollectionItem* i = a.Add();
  i->SetCollection(&b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 1);
  i->SetCollection(nullptr);
  EXPECT_EQ(b.Count(), 0);
  EXPECT_EQ(i->Index(), -1);
  delete i;
}

} // namespace

namespace {

class TFailing : public TCollectionItem {
public:
  explicit TFailing(TCollection* C) : TCollectionItem(C) {
    if (C->Count() > 1) throw EInvalidOperation("no room");
  }
};

TEST(Collection, ItemWhoseConstructionFailsIsNotLeftBehind) {
  TCollection c(rix::ItemClass<TFailing>());
  c.Add();
  EXPECT_THROW(c.Add(), EInvalidOperation);
  EXPECT_EQ(c.Count(), 1);
}

} // namespace
