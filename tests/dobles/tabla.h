#pragma once
#include <QTest>
#include <initializer_list>

namespace aq {

// Columns of a data table: their types in order, and their names.
template <class... T>
void Columnas(std::initializer_list<const char*> nombres) {
    auto n = nombres.begin();
    (QTest::addColumn<T>(*n++), ...);
}

// A data row: its name, then one value per column (a literal fills a QString column).
template <class... T>
void Fila(const char* nombre, const T&... valores) {
    (QTest::newRow(nombre) << ... << valores);
}

}  // namespace aq
