#include "platform/ui/dialogos_qt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace aq {

namespace {

// Windows patterns ("*.csv;*.txt", "*.*") in Qt's form ("*.csv *.txt", "*").
QString Patrones_Qt(const QString& patrones) {
    QStringList r;
    for (QString p : patrones.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        if (!p.isEmpty()) r << p;
    }
    return r.isEmpty() ? QStringLiteral("*") : r.join(QLatin1Char(' '));
}

}  // namespace

QStringList Filtros_Qt(const QString& filtro) {
    const QStringList partes = filtro.split(QLatin1Char('|'));
    QStringList r;
    for (int i = 0; i < partes.size(); i += 2) {
        QString descripcion = partes[i].trimmed();
        const QString patron = i + 1 < partes.size() ? partes[i + 1].trimmed() : QString();
        if (descripcion.isEmpty() && patron.isEmpty()) continue;
        const QString qt = Patrones_Qt(patron);
        // Qt takes the patterns from the last parentheses: a description that already shows
        // its patterns gets them in Qt's form, any other gets them appended.
        const QString propio = QLatin1Char('(') + patron + QLatin1Char(')');
        if (!patron.isEmpty() && descripcion.endsWith(propio))
            descripcion.chop(propio.size());
        else if (!descripcion.isEmpty())
            descripcion += QLatin1Char(' ');
        r << descripcion + QLatin1Char('(') + qt + QLatin1Char(')');
    }
    return r;
}

QString Texto_De_Mensaje(const QString& texto) {
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    // "Menú->Opciones" names one place: a word joiner keeps the arrow on one line.
    t.replace(QLatin1String("->"), QStringLiteral("-\u2060>"));
    return t;
}

Respuesta Dialogos_Qt::MsgBox(const QString& texto, Icono icono, Botones botones,
                              const QString& titulo) {
    QMessageBox caja(padre_);
    caja.setWindowTitle(titulo.isEmpty() ? titulo_ : titulo);
    caja.setTextFormat(Qt::PlainText);
    caja.setText(Texto_De_Mensaje(texto));
    switch (icono) {
        case Icono::Ninguno:
            caja.setIcon(QMessageBox::NoIcon);
            break;
        case Icono::Exclamacion:
            caja.setIcon(QMessageBox::Warning);
            break;
        case Icono::Critico:
            caja.setIcon(QMessageBox::Critical);
            break;
        case Icono::Informacion:
            caja.setIcon(QMessageBox::Information);
            break;
        case Icono::Pregunta:
            caja.setIcon(QMessageBox::Question);
            break;
    }
    QPushButton* aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    caja.setDefaultButton(aceptar);
    if (botones == Botones::Aceptar_Cancelar) {
        caja.setEscapeButton(caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole));
    } else {
        caja.setEscapeButton(aceptar);
    }
    caja.exec();
    return caja.clickedButton() == aceptar ? Respuesta::Aceptar : Respuesta::Cancelar;
}

QString Dialogos_Qt::Archivo(bool guardar, const QString& filtro,
                             const QString& directorio_inicial) {
    QFileDialog dialogo(padre_, guardar ? QStringLiteral("Guardar como") : QStringLiteral("Abrir"),
                        directorio_inicial);
    dialogo.setAcceptMode(guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogo.setFileMode(guardar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks itself before replacing a file.
    if (guardar) dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filtros = Filtros_Qt(filtro);
    if (!filtros.isEmpty()) {
        dialogo.setNameFilters(filtros);
        dialogo.selectNameFilter(filtros.first());
    }
    dialogo.setLabelText(QFileDialog::Accept,
                         guardar ? QStringLiteral("&Guardar") : QStringLiteral("&Abrir"));
    dialogo.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    dialogo.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    dialogo.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    dialogo.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return {};
    const QString elegido = dialogo.selectedFiles().first();
    if (elegido.isEmpty()) return {};
    return QDir::toNativeSeparators(elegido);
}

QString Dialogos_Qt::Guardar_Archivo(const QString& filtro, const QString& directorio_inicial) {
    return Archivo(true, filtro, directorio_inicial);
}

QString Dialogos_Qt::Abrir_Archivo(const QString& filtro, const QString& directorio_inicial) {
    return Archivo(false, filtro, directorio_inicial);
}

}  // namespace aq
