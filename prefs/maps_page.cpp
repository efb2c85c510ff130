#include "prefs/maps_page.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trakomer::prefs {

MapsPage::MapsPage(const std::vector<MapRow>& rows, QWidget* parent) : PreferencePage(parent) {
    auto* list = new QTreeWidget(this);
    list->setObjectName("images");
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList header;
    for (const char* column : kMapColumns) header << column;
    list->setHeaderLabels(header);
    for (int c = 0; c < header.size(); ++c) list->setColumnWidth(c, 50);
    for (const MapRow& row : rows) {
        QStringList cells;
        for (const std::string& cell : MapRowTexts(row)) cells << ToQ(cell);
        list->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
}

}  // namespace trakomer::prefs
