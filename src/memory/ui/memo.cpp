#include "memory/ui/memo.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "link/enlace.h"
#include "link/ui/espere.h"
#include "memory/archivos.h"
#include "memory/decodificador.h"
#include "memory/descarga.h"
#include "memory/ui/hidrograma.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {

const QString Titulo_Advertencia = QStringLiteral("Advertencia !!!!");
const QString Titulo_Link = QStringLiteral("Error en el link");
const QString Titulo_Archivo = QStringLiteral("Error de archivo");
const QString Permiso_Denegado = QStringLiteral("Permiso denegado.");

const QString Texto_Error_016 = QStringLiteral(
    "Error 016, El equipo no responde de manera adecuada.\n"
    "posiblemente a causa de INTERFERENCIAS.\n"
    "Vuelva a intentar el procedimiento.");
const QString Texto_Error_005 =
    QStringLiteral("Error 005, el lazo de comunicación se ha interrumpido.\n");
const QString Texto_Error_006 = QStringLiteral("Error 006 hubo un error durante la recepción");
const QString Texto_Sin_Respaldo = QStringLiteral(
    "No se pudo guardar el resguardo %1.\n"
    "Los datos se guardan igualmente en el archivo elegido;\n"
    "no podrá borrar la memoria hasta una lectura con resguardo.");
const QString Texto_Disco_Lleno_Lista = QStringLiteral(
    "El disco está lleno y por esta razón \n"
    "NO PODRÁ VISUALIZAR LOS DATOS RECOGIDOS.\n"
    "Sin embargo los mismos AÚN ESTÁN GUARDADOS\n"
    "en el archivo que Usted ha solicitado.\n");

}  // namespace

Memo::Memo(Contexto& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
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

    Reabrir_Puerto(ctx_.puerto, Buffer_Descarga);
    ctx_.puerto.setInputLen(0);

    ctx_.estado.Memoria_Leida = false;
    Command3->setEnabled(false);
    Text1->setVisible(false);

    if (Elegir_Archivo() == Eleccion::Terminar) return;
    const QString ruta = Ruta_Elegida;

    Command1->setEnabled(false);
    Command2->setEnabled(false);

    auto* espere = new Espere;
    Mostrar_Junto_A(this, espere);
    Repintar(espere);
    ctx_.reloj.Ceder(0);
    const QByteArray enlace = Enviar_Comando(ctx_, Cadena_Enlace, 4);
    Esperar_Medio_Segundo(ctx_.reloj);
    Descargar(espere);
    ctx_.reloj.Ceder(0);

    if (enlace != Resp_OK) {
        ctx_.dialogos.MsgBox(Texto_Error_016, Icono::Ninguno, Botones::Aceptar, Titulo_Link);
        Restaurar_Puerto();
        Command2->setEnabled(true);
        Descargar(this);
        return;
    }

    ProgressBar1->setVisible(true);
    ctx_.puerto.Output(Comando_Volcado);
    ProgressBar1->setRange(0, Largo_Volcado);
    Mostrar_Estado(QStringLiteral("Recibiendo ..."));

    const Recepcion recepcion =
        Recibir_Volcado(ctx_.puerto, ctx_.reloj, [this](int n) { ProgressBar1->setValue(n); });
    const QByteArray texto = Completar_Volcado(recepcion.texto);
    if (recepcion.Corta())
        ctx_.dialogos.MsgBox(Texto_Error_005, Icono::Critico, Botones::Aceptar, Titulo_Link);

    auto& imagen = ctx_.estado.Imagen_Memoria;
    Dividir_Volcado(texto, imagen);

    ProgressBar1->setRange(0, Elementos_Respaldo - 1);
    // A missing backup folder shows up as a file failure when the backup is written.
    QDir::setCurrent(ctx_.estado.Directorio_Bak);
    Mostrar_Estado(QStringLiteral("Verificando ..."));

    const bool checksum_bueno = Checksum_Correcto(texto, imagen[Palabras_Memoria]);
    if (!checksum_bueno)
        ctx_.dialogos.MsgBox(Texto_Error_006, Icono::Critico, Botones::Aceptar,
                             QStringLiteral("Checksum wrong"));

    Mostrar_Estado(QStringLiteral("Procesando ..."));
    const Falla_Respaldo falla =
        Guardar_Respaldo(imagen, Ruta_Respaldo(ruta, ctx_.estado.Directorio_Bak),
                         ctx_.estado.Directorio_Raiz, [this](int k) { ProgressBar1->setValue(k); });
    // The image is whole in memory even when its backup could not be kept: the readings still
    // reach the chosen file, and only the erase waits for a download whose backup is safe.
    if (falla)
        ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla.tipo) + QStringLiteral("\n") +
                                 Texto_Sin_Respaldo.arg(QDir::toNativeSeparators(falla.ruta)),
                             Icono::Critico, Botones::Aceptar, Titulo_Archivo);

    Restaurar_Puerto();

    Mostrar_Estado(QStringLiteral("Guardando ..."));
    // A decoding failure is reported and the download goes on; the raw backup is safe.
    for (const auto& [destino, separador] :
         {std::pair{ruta, Separador_Para(ruta)},
          std::pair{Archivo_Visualizacion, QByteArrayLiteral("\t")}})
        if (const Falla_En_Archivo falla = Analizar_Memoria(ctx_.estado, destino, separador))
            ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla.tipo), Icono::Ninguno,
                                 Botones::Aceptar, Titulo_Aplicacion);

    Mostrar_Estado(QStringLiteral("Guardado."));
    ProgressBar1->setValue(0);
    Command3->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Text1->setText(QStringLiteral("Datos en: ") + ruta);
    Text1->setVisible(true);
    Repintar(Text1);
    // Only a whole, verified memory may later be erased from the logger.
    ctx_.estado.Memoria_Leida = !recepcion.Corta() && checksum_bueno && !falla;
    if (!recepcion.Corta() && checksum_bueno)
        Q_EMIT Descarga_Completa(Ruta_Respaldo(ruta, ctx_.estado.Directorio_Bak));
    else
        Informar_Archivo(Texto_Descarga_No_Archivada);
}

Memo::Eleccion Memo::Elegir_Archivo() {
    const QString& datos = ctx_.estado.Directorio_Datos;
    // The dialog returns full paths; a folder we cannot enter is only a starting hint.
    QDir::setCurrent(datos);

    QString ruta;
    for (;;) {
        ruta = ctx_.dialogos.Guardar_Archivo(Filtro_Datos, datos);
        if (ruta.isEmpty()) {
            Restaurar_Puerto();
            Command1->setEnabled(true);
            Command2->setEnabled(true);
            return Eleccion::Terminar;
        }
        if (!Tiene_Dos_Puntos(ruta)) break;
        ctx_.dialogos.MsgBox(QStringLiteral("extención incorrecta"), Icono::Exclamacion,
                             Botones::Aceptar, Titulo_Aplicacion);
    }

    auto negar = [this] {
        ctx_.dialogos.MsgBox(Permiso_Denegado, Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Advertencia);
        Restaurar_Puerto();
        return Eleccion::Terminar;
    };
    if (Es_Nombre_Prohibido(ruta)) return negar();

    // Hidden files are not looked for; anything but a plain writable file is refused.
    const QFileInfo info(ruta);
    if (!info.fileName().startsWith(QLatin1Char('.')) && (info.exists() || info.isSymLink())) {
        // The owner's write bit stands for the read-only attribute (root may write anyway).
        if (!info.isFile() || !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
            return negar();
        if (ctx_.dialogos.MsgBox(
                QStringLiteral("El archivo seleccionado ya existe\ndesea sobreescribirlo ?"),
                Icono::Pregunta, Botones::Aceptar_Cancelar,
                Titulo_Advertencia) == Respuesta::Cancelar) {
            Restaurar_Puerto();
            return Eleccion::Terminar;
        }
    }

    QFile archivo(ruta);
    if (!archivo.open(QIODevice::Append)) {
        const QString texto = Mensaje_Error_Archivo(archivo, Operacion_Archivo::Abrir_Escritura);
        ctx_.dialogos.MsgBox(texto, Icono::Critico, Botones::Aceptar, Titulo_Archivo);
        Restaurar_Puerto();
        return Eleccion::Terminar;
    }
    archivo.close();
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

    QFile archivo(Archivo_Visualizacion);
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
                                 QStringLiteral("Advertencia !!!"));
        else
            ctx_.dialogos.MsgBox(Mensaje_Error_Archivo(falla), Icono::Critico, Botones::Aceptar,
                                 Titulo_Archivo);
    }
    Mostrar_Estado(QStringLiteral("Guardado."));
}

void Memo::Restaurar_Puerto() {
    Reabrir_Puerto(ctx_.puerto, Buffer_Normal);
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
    if (QFile::exists(QStringLiteral("AMORTI.TMP"))) QFile::remove(QStringLiteral("AMORTI.TMP"));
    Q_EMIT Devolver_Menu();
    Reloj_Arena(this, false);
}

}  // namespace aq
