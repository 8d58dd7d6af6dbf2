#include "simulador.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace aq::sim {

namespace {

const char* const kTextos_Intervalo[] = {"5  min  ", "10 min  ", "15 min  ", "30 min  ",
                                         "1 hora  ", "2 hrs.  ", "4 hrs.  "};
const char* const kTextos_Alcance[] = {"04", "08", "20"};

const std::string kOK = "OK\r\n";
const std::string kKO = "KO\r\n";

// Length of the command that starts with `c`, or 0 when no command starts so.
size_t Largo_Comando(char c) {
    switch (c) {
        case 'U':
            return 32;
        case 'V':
        case 'L':
            return 1;
        case 'A':
        case 'R':
        case 'D':
        case 'B':
            return 3;
        case 'F':
            return 9;
        case 'H':
            return 6;
        case 'I':
            return 2;
        default:
            return 0;
    }
}

bool Digitos(const std::string& t, size_t i) {
    return std::isdigit(static_cast<unsigned char>(t[i])) &&
           std::isdigit(static_cast<unsigned char>(t[i + 1]));
}

int Numero(const std::string& t, size_t i) {
    return (t[i] - '0') * 10 + (t[i + 1] - '0');
}

std::string Visible(const std::string& t) {
    std::string v;
    for (unsigned char c : t.substr(0, 60)) {
        if (c == '\r') {
            v += "\\r";
        } else if (c == '\n') {
            v += "\\n";
        } else if (c < 32 || c > 126) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            v += b;
        } else {
            v += static_cast<char>(c);
        }
    }
    if (t.size() > 60) v += "... (" + std::to_string(t.size()) + " caracteres)";
    return v;
}

}  // namespace

Simulador_Logger::Simulador_Logger(const Opciones_Simulador& o, const Memoria_Logger& m,
                                   const Fecha_Hora& inicio, int64_t ahora_ms)
    : op_(o), memoria_(m), azar_(o.semilla) {
    Fijar_Reloj(A_Segundos(inicio), ahora_ms);
    intervalo_ = o.intervalo;
    checksum_malo_ = o.checksum_malo;
    ruido_ = o.ruido;
    retardo_ms_ = o.rapido ? 0 : 10;
    ultimo_byte_ms_ = ahora_ms;
    if (o.registro && memoria_.Libres_Contiguas() >= kLibres_Minimas) {
        Abrir_Bloque(ahora_ms);
        registro_ = true;
    }
}

int64_t Simulador_Logger::Segundos(int64_t ahora_ms) const {
    return base_seg_ +
           static_cast<int64_t>(std::floor((ahora_ms - ref_ms_) * op_.acelerar / 1000.0));
}

void Simulador_Logger::Fijar_Reloj(int64_t segundos, int64_t ahora_ms) {
    base_seg_ = segundos;
    ref_ms_ = ahora_ms;
}

void Simulador_Logger::Recibir(const std::string& datos, int64_t ahora_ms) {
    Avanzar(ahora_ms);
    for (char c : datos) {
        ultimo_byte_ms_ = ahora_ms;
        if (parcial_.empty()) {
            parcial_ = c;
            basura_ = Largo_Comando(c) == 0;
        } else {
            const char primero = parcial_[0];
            // Run commands repeat one letter; F, H and I take any argument and check it later.
            const bool repite = primero != 'F' && primero != 'H' && primero != 'I';
            if (repite && c != primero) basura_ = true;
            if (parcial_.size() < 64) parcial_ += c;  // a long burst of noise stays bounded
        }
        if (!basura_ && parcial_.size() == Largo_Comando(parcial_[0])) {
            const std::string comando = parcial_;
            parcial_.clear();
            Ejecutar(comando, ahora_ms);
        }
    }
}

void Simulador_Logger::Avanzar(int64_t ahora_ms) {
    if (!parcial_.empty() && ahora_ms - ultimo_byte_ms_ >= kSilencio_ms) {
        Informar("recibido \"" + Visible(parcial_) + "\": comando incompleto o desconocido");
        parcial_.clear();
        basura_ = false;
        if (!op_.mudo) Responder("??", "??\r\n", ahora_ms + retardo_ms_);
    }
    if (!registro_) return;
    const int64_t t = Segundos(ahora_ms);
    while (!llena_ && t >= proxima_) {
        if (posicion_ < kPalabras && memoria_.Palabra(posicion_) == kLibre) {
            memoria_.Poner(posicion_++, Lectura_Simulada(proxima_));
            proxima_ = Siguiente_Punto(proxima_, intervalo_);
        } else {
            // Full, or the next word is taken (inconsistent memory): nothing is overwritten.
            llena_ = true;
            Informar("memoria llena: se dejan de guardar lecturas");
        }
    }
}

std::string Simulador_Logger::Estado(int64_t ahora_ms) const {
    const int64_t t = Segundos(ahora_ms);
    const Fecha_Hora f = De_Segundos(t);
    char b[64];
    std::snprintf(b, sizeof b, "%03d %s %04d %02d/%02d/%02d %02d:%02d %s %s %04d", op_.equipo,
                  kTextos_Alcance[op_.alcance], Lectura_Simulada(t), f.dia, f.mes, f.anio, f.hora,
                  f.minuto, kTextos_Intervalo[intervalo_], registro_ ? "RE" : "AJ",
                  memoria_.Palabras_Ocupadas());
    std::string s = b;
    int suma = 0;
    for (unsigned char c : s) suma += c;
    std::snprintf(b, sizeof b, "%04d\r\n", suma % 10000);
    return s + b;
}

bool Simulador_Logger::Abrir_Bloque(int64_t ahora_ms) {
    const int64_t minuto = Segundos(ahora_ms) / 60 * 60;
    const int p = memoria_.Primera_Libre();
    if (!memoria_.Escribir_Encabezado(p,
                                      {op_.alcance, op_.equipo, intervalo_, De_Segundos(minuto)}))
        return false;
    posicion_ = p + 5;
    proxima_ = Siguiente_Punto(minuto, intervalo_);
    llena_ = false;
    return true;
}

std::string Simulador_Logger::Programar(const std::string& c, int64_t ahora_ms) {
    if (registro_) return kKO;
    if (c[0] == 'I') {
        if (c[1] < '0' || c[1] > '6') return kKO;
        intervalo_ = c[1] - '0';
        return kOK;
    }
    Fecha_Hora f = De_Segundos(Segundos(ahora_ms));
    if (c[0] == 'F') {
        if (!Digitos(c, 1) || c[3] != '/' || !Digitos(c, 4) || c[6] != '/' || !Digitos(c, 7))
            return kKO;
        const int d = Numero(c, 1), m = Numero(c, 4), a = Numero(c, 7);
        if (m < 1 || m > 12 || d < 1 || d > Dias_Del_Mes(m, a)) return kKO;
        f.dia = d;
        f.mes = m;
        f.anio = a;
    } else {
        if (!Digitos(c, 1) || c[3] != ':' || !Digitos(c, 4)) return kKO;
        const int h = Numero(c, 1), m = Numero(c, 4);
        if (h > 23 || m > 59) return kKO;
        f.hora = h;
        f.minuto = m;
        f.segundo = 0;
    }
    Fijar_Reloj(A_Segundos(f), ahora_ms);
    return kOK;
}

void Simulador_Logger::Ejecutar(const std::string& comando, int64_t ahora_ms) {
    const std::string clave = Clave_Comando(comando);
    if (op_.mudo || op_.mudo_a.count(clave) || callado_) {
        Informar("recibido \"" + Visible(comando) + "\": sin respuesta");
        return;
    }
    if (op_.mudo_tras.count(clave)) callado_ = true;
    const int64_t desde = ahora_ms + retardo_ms_;
    if (op_.cerrar_tras.count(clave)) {
        Informar("recibido \"" + Visible(comando) + "\": se cierra la línea");
        Responder(clave, "", desde, 0);
        return;
    }
    const auto forzada = op_.responder.find(clave);
    if (forzada != op_.responder.end()) {
        Informar("recibido \"" + Visible(comando) + "\": respuesta forzada");
        Responder(clave, forzada->second + "\r\n", desde);
        return;
    }
    Informar("recibido \"" + Visible(comando) + "\"");
    if (clave == "U") {
        Responder(clave, kOK, desde);
    } else if (clave == "V") {
        Responder(clave, op_.version + "\r\n", desde);
    } else if (clave == "L") {
        std::string s = Estado(ahora_ms);
        if (checksum_malo_ > 0) {
            --checksum_malo_;
            char b[8];
            std::snprintf(b, sizeof b, "%04d", (std::stoi(s.substr(43, 4)) + 1) % 10000);
            s.replace(43, 4, b);
        }
        Responder(clave, s, desde);
    } else if (clave == "AAA") {
        registro_ = false;
        Responder(clave, kOK, desde);
    } else if (clave == "RRR") {
        // Already logging: the block under way goes on (the supervisor sends "RRR" again
        // when it leaves the logger as it found it).
        if (registro_) {
            Responder(clave, kOK, desde);
        } else if (memoria_.Libres_Contiguas() < kLibres_Minimas) {
            Responder(clave, "PE\r\n", desde);
        } else {
            const bool consistente = memoria_.Es_Consistente();
            Abrir_Bloque(ahora_ms);
            registro_ = true;
            Responder(clave, consistente ? kOK : "MI\r\n", desde);
        }
    } else if (clave == "F" || clave == "H" || clave == "I") {
        Responder(clave, Programar(comando, ahora_ms), desde);
    } else if (clave == "DDD") {
        std::string t = memoria_.Texto_Volcado();
        if (op_.dump_largo) t += '#';
        if (op_.corte >= 0 && static_cast<size_t>(op_.corte) < t.size()) t.resize(op_.corte);
        Responder(clave, t, desde, op_.cerrar_en >= 0 ? op_.cerrar_en : std::string::npos);
    } else if (clave == "BBB") {
        if (registro_) {
            Responder(clave, kKO, desde);
        } else {
            const int usadas = memoria_.Palabras_Ocupadas();
            memoria_.Vaciar();
            Responder(clave, kOK, desde + (op_.rapido ? 0 : 10 * usadas + 200));
        }
    }
}

void Simulador_Logger::Responder(const std::string& clave, std::string texto, int64_t desde_ms,
                                 size_t cerrar_tras) {
    if (op_.extra.count(clave)) texto += '#';
    if (ruido_ > 0) {
        std::string r;
        for (; ruido_ > 0; --ruido_) r += static_cast<char>(azar_() & 0xFF);
        texto = r + texto;
    }
    Informar("responde \"" + Visible(texto) + "\"");
    salida_.push_back({std::move(texto), desde_ms, cerrar_tras});
}

}  // namespace aq::sim
