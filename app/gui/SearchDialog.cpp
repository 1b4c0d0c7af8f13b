#include "app/gui/SearchDialog.h"

#include <QCheckBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Application.h"
#include "app/SearchWorker.h"
#include "app/gui/SearchResultActions.h"
#include "app/gui/SearchResultModel.h"

namespace tovan {
namespace {

constexpr int UrlWidth = 550;
constexpr int SizeWidth = 55;

QCheckBox* check_box(const QString& text, const char* name, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

}  // namespace

SearchDialog::SearchDialog(Application& application, DesktopServices& desktop,
                           SharedPtr<TreeEntry> scope_node, SharedPtr<Entry> scope_folder,
                           QWidget* parent)
    : QDialog(parent),
      application_(application),
      desktop_(desktop),
      scope_node_(std::move(scope_node)),
      scope_folder_(std::move(scope_folder)),
      model_(new SearchResultModel(this)) {
    setObjectName("search");
    setWindowTitle(tr("Search"));
    build_form();
    drain_.setInterval(DrainMs);
    connect(&drain_, &QTimer::timeout, this, &SearchDialog::take_results);
}

SearchDialog::~SearchDialog() = default;

void SearchDialog::build_form() {
    const Search last = Search::from_options(application_.options());
    auto* form = new QFormLayout;
    mask_ = new QLineEdit(QString::fromStdString(last.mask_text), this);
    mask_->setObjectName("mask");
    form->addRow(tr("&Mask:"), mask_);
    min_size_ = new QLineEdit(QString::number(static_cast<double>(last.min_size_mb)), this);
    min_size_->setObjectName("minSize");
    auto* validator = new QDoubleValidator(0.0, 1e12, 3, min_size_);
    validator->setLocale(QLocale::c());
    validator->setNotation(QDoubleValidator::StandardNotation);
    min_size_->setValidator(validator);
    connect(min_size_, &QLineEdit::editingFinished, this, [this] {
        if (min_size_->text().isEmpty())
            min_size_->setText("0");
    });
    form->addRow(tr("Min &size(Mb):"), min_size_);

    auto* boxes = new QHBoxLayout;
    only_online_ = check_box(tr("Only o&nline"), "onlyOnline", last.only_online, this);
    only_changed_ = check_box(tr("Only c&hanged"), "onlyChanged", last.only_changed, this);
    directories_ = check_box(tr("D&irectories"), "directories", last.directories, this);
    boxes->addWidget(only_online_);
    boxes->addWidget(only_changed_);
    boxes->addWidget(directories_);
    boxes->addStretch();
    search_button_ = new QPushButton(tr("Search"), this);
    search_button_->setObjectName("searchButton");
    search_button_->setDefault(true);
    connect(search_button_, &QPushButton::clicked, this, &SearchDialog::search_or_stop);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    boxes->addWidget(search_button_);
    boxes->addWidget(close);

    view_ = new QTableView(this);
    view_->setObjectName("results");
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    // Fixed row heights keep a view of millions of rows cheap.
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->resizeSection(SearchResultModel::UrlColumn, UrlWidth);
    view_->horizontalHeader()->resizeSection(SearchResultModel::SizeColumn, SizeWidth);
    view_->horizontalHeader()->setStretchLastSection(true);
    connect(view_, &QTableView::customContextMenuRequested, this, &SearchDialog::show_menu);
    connect(view_, &QTableView::doubleClicked, this,
            [this] { SearchResultActions(application_, desktop_, *model_, *view_).open(); });

    count_ = new QLabel(this);
    count_->setObjectName("count");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(boxes);
    layout->addWidget(view_, 1);
    layout->addWidget(count_);
    resize(UrlWidth + SizeWidth + 60, 480);
}

Search SearchDialog::search_from_form() const {
    Search search;
    search.mask_text = mask_->text().toStdString();
    search.min_size_mb = std::max(0.0f, min_size_->text().toFloat());
    search.only_online = only_online_->isChecked();
    search.only_changed = only_changed_->isChecked();
    search.directories = directories_->isChecked();
    return search;
}

void SearchDialog::search_or_stop() {
    if (searching())
        stop_search();
    else
        start_search();
}

void SearchDialog::start_search() {
    if (min_size_->text().isEmpty())
        min_size_->setText("0");
    running_ = search_from_form();
    running_.remember_in(application_.options());
    std::vector<Search::Root> roots;
    if (scope_folder_)
        roots.push_back({scope_node_, scope_folder_});
    else
        roots = running_.roots(scope_node_);
    model_->restart(roots);
    worker_ = std::make_unique<SearchWorker>(running_, std::move(roots));
    search_button_->setText(tr("Stop"));
    show_count(true, false);
    drain_.start();
}

void SearchDialog::stop_search() {
    worker_->stop();
    // The worker looks at the request every thousand entries: a short wait.
    worker_->wait();
    end_search(true);
}

void SearchDialog::take_results() {
    if (!worker_)
        return;
    // Finished before the last take: nothing can follow it.
    const bool finished = worker_->finished();
    model_->append(worker_->take());
    if (finished)
        end_search(false);
    else
        show_count(true, false);
}

void SearchDialog::end_search(bool stopped) {
    drain_.stop();
    model_->append(worker_->take());
    const std::string failure = worker_->failure();
    worker_.reset();
    search_button_->setText(tr("Search"));
    show_count(false, stopped);
    if (!failure.empty())
        QMessageBox::warning(this, tr("Search"),
                             tr("The search failed: %1").arg(QString::fromStdString(failure)));
}

void SearchDialog::show_count(bool running, bool stopped) {
    const int rows = model_->rowCount();
    if (running)
        count_->setText(tr("Searching... %n found", "", rows));
    else if (stopped)
        count_->setText(tr("Stopped: %n found", "", rows));
    else
        count_->setText(rows == 0 ? tr("Nothing found") : tr("%n found", "", rows));
}

void SearchDialog::show_menu(const QPoint& at) {
    SearchResultActions actions(application_, desktop_, *model_, *view_);
    SearchResultActions::Reactions reactions;
    reactions.select_in_tree = [this](const ViewsHistory::State& state) {
        if (!state.node)
            return;
        emit select_in_tree(state);
        accept();
    };
    reactions.marked = [this] {
        emit marks_changed();
        // Marked results no longer belong to an "Only changed" search.
        if (running_.only_changed && !searching())
            start_search();
    };
    const std::unique_ptr<QMenu> menu = actions.menu(this, reactions, only_changed_->isChecked());
    if (!menu->isEmpty())
        menu->exec(view_->viewport()->mapToGlobal(at));
}

void SearchDialog::done(int result) {
    if (worker_) {
        drain_.stop();
        worker_.reset();
    }
    QDialog::done(result);
}

}  // namespace tovan
