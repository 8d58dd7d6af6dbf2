#include "memory/ui/memo.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "link/enlace.h"
#include "link/saludo.h"
#include "link/ui/espere.h"
#include "memory/operacion_descarga.h"
#include "memory/ui/grafico_datos.h"
#include "platform/ui/ventanas.h"

namespace aq {

Memo::Memo(Contexto_Ventanas& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("Lector de memoria del limnígrafo - freatígrafo"));

    Label1 = new QLabel(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setVisible(false);
    Text1 = new QLineEdit(this);
    Text1->setReadOnly(true);
    Text1->setVisible(false);
    List1 = new QListWidget(this);
    Command1 = new QPushButton(QStringLiteral("Leer la &Memoria"), this);
    Command2 = new QPushButton(QStringLiteral("&Cerrar"), this);
    Command3 = new QPushButton(QStringLiteral("Mostrar &datos recibidos"), this);
    // Nothing has been received yet in this window.
    Command3->setEnabled(false);

    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Label1);
    caja->addWidget(ProgressBar1);
    caja->addWidget(Text1);
    Label_Archivo = new QLabel(this);
    Label_Archivo->setVisible(false);
    caja->addWidget(Label_Archivo);
    caja->addWidget(List1, 1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(Command1);
    botones->addWidget(Command3);
    botones->addStretch(1);
    botones->addWidget(Command2);
    caja->addLayout(botones);
    resize(560, 380);

    connect(Command1, &QPushButton::clicked, this, &Memo::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Memo::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Memo::Command3_Click);

    // The plot of the file just written. Connected after the download, so it learns how the
    // download ended; off while one runs.
    auto* grafico = new QPushButton(QString::fromUtf8("&Gráfico"), this);
    grafico->setObjectName(QStringLiteral("Grafico"));
    grafico->setEnabled(false);
    botones->insertWidget(2, grafico);
    connect(Command1, &QPushButton::pressed, grafico, [grafico] { grafico->setEnabled(false); });
    connect(Command1, &QPushButton::clicked, grafico, [this, grafico] {
        grafico->setEnabled(Command3->isEnabled() && !Ruta_Elegida.isEmpty());
    });
    connect(grafico, &QPushButton::clicked, this,
            [this] { Abrir_Hidrograma(Ruta_Elegida, this, ctx_.dialogos); });
}

void Memo::Command1_Click() {
    Estado_Ventana(false);
    ctx_.reloj.Ceder(0);
    List1->clear();
    Informar_Archivo(QString());

    // Trying again forgets the last reading, even when no file is chosen.
    ctx_.estado.Memoria_Leida = false;
    Command3->setEnabled(false);
    Text1->setVisible(false);

    if (Elegir_Archivo() == Eleccion::Terminar) return;
    const QString ruta = Ruta_Elegida;

    Command1->setEnabled(false);
    Command2->setEnabled(false);

    Espere* espere = nullptr;
    Seguimiento_Descarga s;
    s.verificando_enlace = [&] {
        espere = new Espere;
        Mostrar_Junto_A(this, espere);
        Repintar(espere);
        ctx_.reloj.Ceder(0);
    };
    s.enlace_verificado = [&] {
        Descargar(espere);
        ctx_.reloj.Ceder(0);
    };
    s.etapa = [this](const QString& texto) { Mostrar_Estado(texto); };
    s.avance = [this](int valor, int maximo) { Avanzar_Barra(valor, maximo); };
    s.aviso = [this](const QString& texto, const QString& titulo) {
        ctx_.dialogos.MsgBox(texto, Icono::Critico, Botones::Aceptar, titulo);
    };
    s.falla_respaldo = [this](const Falla_En_Archivo& falla) {
        ctx_.dialogos.MsgBox(Mensaje_Respaldo_Fallido(falla), Icono::Critico, Botones::Aceptar,
                             Titulo_Error_Archivo);
    };
    s.falla_archivo = [this](const Falla_En_Archivo& falla) {
        ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla.tipo), Icono::Ninguno, Botones::Aceptar,
                             Titulo_Aplicacion);
    };
    const std::unique_ptr<Registro_Descarga> registro = Nuevo_Registro ? Nuevo_Registro() : nullptr;
    s.registro = registro.get();
    const Resultado_Descarga r = Descargar_Memoria(ctx_, ruta, s);
    if (r.enlace) carpeta_trabajo_ = ctx_.estado.Directorio_Bak;
    visualizacion_ = r.visualizacion;

    if (!r.enlace) {
        ctx_.dialogos.MsgBox(Texto_Error_016, Icono::Ninguno, Botones::Aceptar, Titulo_Error_Link);
        Command2->setEnabled(true);
        Descargar(this);
        return;
    }

    Command3->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Text1->setText(QStringLiteral("Datos en: ") + ruta);
    Text1->setVisible(true);
    Repintar(Text1);
    if (!r.corta && r.checksum_bueno) {
        Informar_Archivo(r.registro);
        Q_EMIT Descarga_Completa(r.respaldo);
    } else {
        Informar_Archivo(Texto_Descarga_No_Archivada);
    }
}

void Memo::Avanzar_Barra(int valor, int maximo) {
    ProgressBar1->setVisible(true);
    if (ProgressBar1->maximum() != maximo) ProgressBar1->setRange(0, maximo);
    // One repaint per step the eye can see (about 3 % of the bar), not one per record.
    const int paso = qMax(1, maximo / 32);
    if (valor == 0 || valor >= maximo || qAbs(valor - ProgressBar1->value()) >= paso)
        ProgressBar1->setValue(valor);
}

Memo::Eleccion Memo::Elegir_Archivo() {
    const QString& datos = ctx_.estado.Directorio_Datos;
    carpeta_trabajo_ = datos;

    QString ruta;
    Fin_Destino fin;
    for (;;) {
        ruta = ctx_.dialogos.Guardar_Archivo(Filtro_Datos, datos);
        if (ruta.isEmpty()) {
            Command1->setEnabled(true);
            Command2->setEnabled(true);
            return Eleccion::Terminar;
        }
        fin = Revisar_Destino(ruta);
        if (fin != Fin_Destino::Extension_Incorrecta) break;
        ctx_.dialogos.MsgBox(Texto_Extension_Incorrecta, Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Aplicacion);
    }

    if (fin == Fin_Destino::Permiso_Denegado) {
        ctx_.dialogos.MsgBox(Texto_Permiso_Denegado, Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Advertencia_Archivo);
        return Eleccion::Terminar;
    }
    if (fin == Fin_Destino::Existente &&
        ctx_.dialogos.MsgBox(Texto_Sobrescribir, Icono::Pregunta, Botones::Aceptar_Cancelar,
                             Titulo_Advertencia_Archivo) == Respuesta::Cancelar)
        return Eleccion::Terminar;
    if (const Falla_En_Archivo falla = Preparar_Destino(ruta)) {
        ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla.tipo), Icono::Critico, Botones::Aceptar,
                             Titulo_Error_Archivo);
        return Eleccion::Terminar;
    }
    Ruta_Elegida = ruta;
    return Eleccion::Lista;
}

void Memo::Informar_Archivo(const QString& texto) {
    Label_Archivo->setText(texto);
    Label_Archivo->setVisible(!texto.isEmpty());
}

void Memo::Command2_Click() {
    Descargar(this);
}

void Memo::Command3_Click() {
    Command3->setEnabled(false);
    List1->clear();
    Estado_Ventana(true);
    Repintar(this);
    Mostrar_Estado(QStringLiteral("Por favor espere."));

    QFile archivo(visualizacion_);
    Operacion_Archivo operacion = Operacion_Archivo::Abrir_Lectura;
    if (archivo.open(QIODevice::ReadOnly)) {
        operacion = Operacion_Archivo::Leer;
        QStringList lineas;
        while (!archivo.atEnd()) {
            QByteArray linea = archivo.readLine();
            while (linea.endsWith('\n') || linea.endsWith('\r')) linea.chop(1);
            lineas << QString::fromLatin1(linea);
        }
        List1->addItems(lineas);
    }
    if (archivo.error() != QFileDevice::NoError) {
        const Falla_Archivo falla = Clasificar_Falla_Archivo(archivo, operacion);
        if (falla == Falla_Archivo::Disco_Lleno)
            ctx_.dialogos.MsgBox(Texto_Disco_Lleno_Lista, Icono::Exclamacion, Botones::Aceptar,
                                 Titulo_Disco_Lleno_Lista);
        else
            ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla), Icono::Critico, Botones::Aceptar,
                                 Titulo_Error_Archivo);
    }
    Mostrar_Estado(QStringLiteral("Guardado."));
}

void Memo::Mostrar_Estado(const QString& texto) {
    Label1->setText(texto);
    Label1->setVisible(true);
    Repintar(Label1);
}

void Memo::Estado_Ventana(bool maximizada) {
    QWidget* marco = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!marco) marco = this;
    if (!marco->isVisible()) return;
    if (maximizada)
        marco->showMaximized();
    else if (marco->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        marco->showNormal();
}

void Memo::closeEvent(QCloseEvent* e) {
    // No close while a download runs.
    if (!Command2->isEnabled()) {
        e->ignore();
        return;
    }
    if (!descargada_) {
        descargada_ = true;
        Form_Unload();
    }
    e->accept();
}

void Memo::Form_Unload() {
    Reloj_Arena(this, true);
    Command2->setEnabled(false);
    Modo_Cierre = Reponer_Modo(ctx_);
    const QString paginado =
        QDir(carpeta_trabajo_.isEmpty() ? ctx_.estado.Directorio_Datos : carpeta_trabajo_)
            .filePath(QStringLiteral("AMORTI.TMP"));
    if (QFileInfo(paginado).isFile()) QFile::remove(paginado);
    Q_EMIT Devolver_Menu();
    Reloj_Arena(this, false);
}

}  // namespace aq
