#include "prefs/maps_page.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trakomer::prefs {

MapsPage::MapsPage(const std::vector<MapRow>& rows, const Settings& settings,
                   MapFetchServices fetch, QWidget* parent)
    : PreferencePage(parent) {
    list_ = new QTreeWidget(this);
    list_->setObjectName("images");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList header;
    for (const char* column : kMapColumns) header << column;
    list_->setHeaderLabels(header);
    for (int c = 0; c < header.size(); ++c) list_->setColumnWidth(c, 50);
    for (const MapRow& row : rows) AddRow(row);
    fetch_ = new MapFetchBox(settings.mMapSource, std::move(fetch), this);
    fetch_->onInstalled = [this](const maps::WrittenPackage& p) {
        const size_t slash = p.file.rfind('/');
        AddRow({p.file.substr(slash == std::string::npos ? 0 : slash + 1), p.box.lon1, p.box.lat1,
                p.box.lon2, p.box.lat2});
    };
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(fetch_);
}

void MapsPage::AddRow(const MapRow& row) {
    QStringList cells;
    for (const std::string& cell : MapRowTexts(row)) cells << ToQ(cell);
    list_->addTopLevelItem(new QTreeWidgetItem(cells));
}

void MapsPage::Store(Settings& settings, ApplyEffects&) {
    const std::string source = fetch_->Source();
    settings.mMapSource =
        source == maps::kDefaultTileServer ? "" : source.substr(0, kPathCapacity - 1);
}

}  // namespace trakomer::prefs
