// Our grid and Qt's QTableView with QSqlQueryModel, measured the same way in
// one run: the same 20-column SQLite table, a 1920x1080 view, the same font,
// drawn off-screen.
//
//   OpenAndFirstFrame   open the table, bind the view, draw the first frame
//   LastRecordAndFrame  from the first record, make the last record current
//                       and visible, and draw the frame
//
// QSqlQueryModel fetches rows in blocks as the view scrolls; reaching the
// last record means fetching all of them (there is no other way to know the
// last row of a forward-only SQLite query), which is what the figure shows.
// Qt is measured up to 1 million rows: beyond that its last-record figure
// takes minutes and its memory grows with the table. Our grid runs at every
// benchmark size.
#include "../common/Ratios.h"
#include "../common/RixGridFrame.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "bench_peers";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return app;
}

struct TQtFrame {
  QString Connection;
  std::unique_ptr<QSqlQueryModel> Model;
  std::unique_ptr<QTableView> View;
  QImage Image{benchtable::FrameWidth, benchtable::FrameHeight, QImage::Format_RGB32};

  explicit TQtFrame(const std::string& Path) {
    App();
    static int serial = 0;
    Connection = QString("peer%1").arg(++serial);
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", Connection);
      db.setDatabaseName(QString::fromStdString(Path));
      db.open();
    }
    Model = std::make_unique<QSqlQueryModel>();
    Model->setQuery(QSqlQuery(QString("SELECT * FROM ") + benchtable::TableName, QSqlDatabase::database(Connection)));
    View = std::make_unique<QTableView>();
    QFont font(benchtable::FontName);
    font.setPixelSize(benchtable::FontPixels);
    View->setFont(font);
    View->resize(benchtable::FrameWidth, benchtable::FrameHeight);
    View->setModel(Model.get());
    View->selectRow(0);
    Frame();
  }
  ~TQtFrame() {
    View.reset();
    Model.reset();
    QSqlDatabase::removeDatabase(Connection);
  }
  void Frame() {
    QPainter p(&Image);
    View->render(&p);
  }
  void Last() {
    while (Model->canFetchMore()) Model->fetchMore();
    const int last = Model->rowCount() - 1;
    View->selectRow(last);
    View->scrollTo(Model->index(last, 0));
  }
};

void QtArgs(benchmark::internal::Benchmark* B) {
  for (long rows : benchtable::Sizes())
    if (rows <= 1000000L) B->Arg(rows);
  B->Unit(benchmark::kMillisecond);
}

void Args(benchmark::internal::Benchmark* B) {
  for (long rows : benchtable::Sizes()) B->Arg(rows);
  B->Unit(benchmark::kMillisecond);
}

void BM_Qt_OpenAndFirstFrame(benchmark::State& State) {
  const std::string path = benchtable::TablePath(State.range(0));
  for (auto _ : State) {
    TQtFrame f(path);
    benchmark::DoNotOptimize(f.Image.bits());
  }
}
BENCHMARK(BM_Qt_OpenAndFirstFrame)->Apply(QtArgs);

void BM_Rix_OpenAndFirstFrame(benchmark::State& State) {
  const std::string path = benchtable::TablePath(State.range(0));
  for (auto _ : State) {
    benchtable::TRixGridFrame f(path);
    benchmark::DoNotOptimize(f.Grid);
  }
}
BENCHMARK(BM_Rix_OpenAndFirstFrame)->Apply(Args);

void BM_Qt_LastRecordAndFrame(benchmark::State& State) {
  const std::string path = benchtable::TablePath(State.range(0));
  for (auto _ : State) {
    State.PauseTiming();
    auto f = std::make_unique<TQtFrame>(path);
    State.ResumeTiming();
    f->Last();
    f->Frame();
    State.PauseTiming();
    f.reset();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_Qt_LastRecordAndFrame)->Apply(QtArgs);

void BM_Rix_LastRecordAndFrame(benchmark::State& State) {
  const std::string path = benchtable::TablePath(State.range(0));
  for (auto _ : State) {
    State.PauseTiming();
    auto f = std::make_unique<benchtable::TRixGridFrame>(path);
    State.ResumeTiming();
    f->Data->Last();
    f->Host->Paint();
    State.PauseTiming();
    f.reset();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_Rix_LastRecordAndFrame)->Apply(Args);

// One full frame of each, the table open and the first record current.
void BM_Qt_FullFrame(benchmark::State& State) {
  TQtFrame f(benchtable::TablePath(State.range(0)));
  for (auto _ : State) f.Frame();
}
BENCHMARK(BM_Qt_FullFrame)->Apply(QtArgs);

void BM_Rix_FullFrame(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(State.range(0)));
  for (auto _ : State) f.Frame();
}
BENCHMARK(BM_Rix_FullFrame)->Apply(Args);

} // namespace

int main(int argc, char** argv) { return benchtable::RunWithRatios(argc, argv); }
