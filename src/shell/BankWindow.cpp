#include "shell/BankWindow.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "library/BankFiles.h"
#include "library/BankTransfers.h"
#include "library/db/LibraryDatabase.h"
#include "shell/BankGrid.h"

namespace {

// How often the window looks at the bank while it is open.
constexpr int kFollowMs = 100;

const QColor kDiffers(255, 226, 160);
const QColor kSent(190, 214, 255);
const QColor kVerified(186, 232, 186);
const QColor kFailed(255, 182, 182);

QString Day(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd HH:mm");
}

}  // namespace

BankWindow::BankWindow(BankTransfers& bank, LibraryDatabase& database, std::recursive_mutex& lock,
                       QWidget* owner)
    : QWidget(owner, Qt::Window), bank_(bank), database_(database), lock_(lock) {
    setWindowTitle("Bank of the Orvo");
    Build();
    Refresh();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &BankWindow::Follow);
    timer_->start(kFollowMs);
    resize(1400, 760);
}

void BankWindow::Build() {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* text, void (BankWindow::*slot)()) {
        auto* made = new QPushButton(text, this);
        connect(made, &QPushButton::clicked, this, slot);
        buttons->addWidget(made);
        return made;
    };
    read_ = button("Read", &BankWindow::Read);
    send_ = button("Send", &BankWindow::Send);
    cancel_ = new QPushButton("Cancel", this);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        bank_.Cancel();
    });
    buttons->addWidget(cancel_);
    retry_ = button("Retry", &BankWindow::Send);
    buttons->addSpacing(16);
    undo_ = button("Undo", &BankWindow::Undo);
    redo_ = button("Redo", &BankWindow::Redo);
    buttons->addSpacing(16);
    button("Import...", &BankWindow::Import);
    button("Export...", &BankWindow::Export);
    sendBack_ = button("Send Back Last Backup", &BankWindow::SendBackKept);
    buttons->addStretch();
    layout->addLayout(buttons);

    grid_ = new BankGrid(this);
    for (int location = 1; location <= 99; ++location) {
        auto* cell = new QListWidgetItem;
        cell->setSizeHint(grid_->gridSize() - QSize(6, 6));
        cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid_->addItem(cell);
    }
    grid_->onMove = [this](const std::vector<int>& from, int to) {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        Arranged(bank_.Arrangement().Move(from, to));
    };
    grid_->onPlace = [this](int location, const std::vector<ProgramValues>& programs) {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        bank_.Arrangement().Place(location, programs);
        Arranged(true);
    };
    grid_->programsOfIds = [this](const std::vector<qint64>& ids) {
        std::vector<ProgramValues> programs;
        for (qint64 id : ids) {
            if (auto entry = database_.Entry(id)) programs.push_back(entry->values);
        }
        return programs;
    };
    layout->addWidget(grid_, 1);

    auto* status = new QHBoxLayout;
    message_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    progress_->setMaximumWidth(320);
    status->addWidget(message_, 1);
    status->addWidget(progress_);
    layout->addLayout(status);

    new QShortcut(QKeySequence::Undo, this, [this] { Undo(); });
    new QShortcut(QKeySequence::Redo, this, [this] { Redo(); });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { cancel_->click(); });
}

QString BankWindow::NameOf(const std::optional<ProgramValues>& program) const {
    if (!program) return "unknown";
    const std::optional<LibraryEntry> entry = database_.EntryOfValues(*program);
    return entry ? QString::fromStdString(entry->metadata.name) : "not in the library";
}

QString BankWindow::CellText(int location) const {
    const BankLocation& at = bank_.Arrangement().At(location);
    QString text = QString("%1  %2").arg(location, 2, 10, QChar('0')).arg(NameOf(at.known));
    if (at.Differs()) text += "\n→ " + NameOf(at.planned);
    switch (bank_.MarkOf(location)) {
        case BankTransfers::Mark::kSent:
            text += "\nsent";
            break;
        case BankTransfers::Mark::kVerified:
            text += "\nverified";
            break;
        case BankTransfers::Mark::kFailed:
            text += "\nfailed";
            break;
        case BankTransfers::Mark::kNone:
            break;
    }
    return text;
}

QPoint BankWindow::CellCentre(int location) const {
    const QRect cell = grid_->visualItemRect(grid_->item(location - 1));
    return grid_->viewport()->mapTo(this, cell.center());
}

void BankWindow::Follow() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (bank_.Revision() != shown_) Refresh();
}

void BankWindow::Refresh() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    shown_ = bank_.Revision();
    bool anyFailed = false;
    for (int location = 1; location <= 99; ++location) {
        QListWidgetItem* item = grid_->item(location - 1);
        const BankLocation& at = bank_.Arrangement().At(location);
        item->setText(CellText(location));
        QString tip =
            at.known ? "Known since " + Day(at.knownAt) : "What the Orvo holds is unknown";
        const BankTransfers::Mark mark = bank_.MarkOf(location);
        anyFailed = anyFailed || mark == BankTransfers::Mark::kFailed;
        if (mark == BankTransfers::Mark::kFailed)
            tip += "\n" + QString::fromStdString(bank_.WhyFailed(location));
        item->setToolTip(tip);
        QColor colour = palette().base().color();
        if (mark == BankTransfers::Mark::kVerified) colour = kVerified;
        if (mark == BankTransfers::Mark::kSent) colour = kSent;
        if (at.Differs()) colour = kDiffers;
        if (mark == BankTransfers::Mark::kFailed) colour = kFailed;
        item->setBackground(colour);
    }
    const bool busy = bank_.Busy();
    const int differing = static_cast<int>(bank_.Arrangement().DifferingLocations().size());
    read_->setEnabled(!busy);
    send_->setEnabled(!busy && differing > 0);
    send_->setText(differing > 0 ? QString("Send %1").arg(differing) : "Send");
    cancel_->setEnabled(busy);
    retry_->setEnabled(!busy && anyFailed && differing > 0);
    undo_->setEnabled(!busy && bank_.Arrangement().CanUndo());
    redo_->setEnabled(!busy && bank_.Arrangement().CanRedo());
    sendBack_->setEnabled(!busy && bank_.LastKept().has_value());
    message_->setText(QString::fromStdString(bank_.Message()));
    progress_->setVisible(busy);
    progress_->setRange(0, std::max(1, bank_.Total()));
    progress_->setValue(bank_.Done());
}

void BankWindow::Arranged(bool changed) {
    if (changed) bank_.KeepPlan();
    Refresh();
}

void BankWindow::Read() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    bank_.StartRead();
    Refresh();
}

void BankWindow::Send() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    bank_.StartSend();
    Refresh();
}

void BankWindow::Undo() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!bank_.Busy()) Arranged(bank_.Arrangement().Undo());
}

void BankWindow::Redo() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!bank_.Busy()) Arranged(bank_.Arrangement().Redo());
}

void BankWindow::Import() {
    const QString path = QFileDialog::getOpenFileName(this, "Import a bank", QString(),
                                                      "Banks (*.syx *.prg);;All files (*)");
    if (path.isEmpty()) return;
    // A folder of numbered files is named by one of its files.
    std::string chosen = path.toStdString();
    if (!path.endsWith(".syx", Qt::CaseInsensitive)) chosen = chosen.substr(0, chosen.rfind('/'));
    std::string problem;
    const std::optional<BankPrograms> bank = ImportBank(chosen, &problem);
    if (!bank) {
        QMessageBox::warning(this, "Import a bank", QString::fromStdString(problem));
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(lock_);
    BankPrograms planned = bank_.Arrangement().Planned();
    for (size_t i = 0; i < planned.size(); ++i) {
        if ((*bank)[i]) planned[i] = (*bank)[i];
    }
    bank_.Arrangement().SetPlan(planned);
    Arranged(true);
}

void BankWindow::Export() {
    const QString path = QFileDialog::getSaveFileName(
        this, "Export the bank", QString(),
        "One .syx file (*.syx);;A folder of 01..99.prg (type a folder name)");
    if (path.isEmpty()) return;
    BankPrograms programs;
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        programs = bank_.Arrangement().Intended();
    }
    std::string problem;
    const std::string chosen = path.toStdString();
    const bool done = path.endsWith(".syx", Qt::CaseInsensitive)
                          ? ExportBankSyx(programs, chosen, &problem)
                          : ExportBankFolder(programs, chosen, &problem);
    if (!done) QMessageBox::warning(this, "Export the bank", QString::fromStdString(problem));
}

void BankWindow::SendBackKept() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (bank_.LastKept()) bank_.SendBack(*bank_.LastKept());
    Refresh();
}
