#include "memoria_logger.h"

#include <cctype>
#include <cstdio>
#include <fstream>

namespace aq::sim {

int Memoria_Logger::Primera_Libre() const {
    for (int i = 0; i < kPalabras; ++i)
        if (palabras_[i] == kLibre) return i;
    return kPalabras;
}

int Memoria_Logger::Palabras_Ocupadas() const {
    int n = 0;
    for (uint16_t w : palabras_) n += w != kLibre;
    return n;
}

int Memoria_Logger::Libres_Contiguas() const {
    int n = 0;
    for (int i = Primera_Libre(); i < kPalabras && palabras_[i] == kLibre; ++i) ++n;
    return n;
}

bool Memoria_Logger::Es_Consistente() const {
    const int libre = Primera_Libre();
    for (int i = libre; i < kPalabras; ++i)
        if (palabras_[i] != kLibre) return false;
    int i = 0;
    while (i < libre) {
        // Same header test as the supervisor's decoder.
        if (palabras_[i] != kMarca || i >= kPalabras - 5) return false;
        const uint16_t w1 = palabras_[i + 1], w2 = palabras_[i + 2];
        const uint16_t w3 = palabras_[i + 3], w4 = palabras_[i + 4];
        if ((w1 >> 8) > 2 || (w2 >> 8) > 6 || (w2 & 0xFF) > 23 || (w3 >> 8) > 59 ||
            (w3 & 0xFF) > 31 || (w4 >> 8) > 12 || (w4 & 0xFF) > 99)
            return false;
        i += 5;
        while (i < libre && palabras_[i] <= 0x0FFF) ++i;
    }
    return true;
}

bool Memoria_Logger::Escribir_Encabezado(int p, const Encabezado& e) {
    if (p < 0 || p + 5 > kPalabras) return false;
    const Fecha_Hora& f = e.inicio;
    palabras_[p] = kMarca;
    palabras_[p + 1] = static_cast<uint16_t>(e.alcance << 8 | e.equipo);
    palabras_[p + 2] = static_cast<uint16_t>(e.intervalo << 8 | f.hora);
    palabras_[p + 3] = static_cast<uint16_t>(f.minuto << 8 | f.dia);
    palabras_[p + 4] = static_cast<uint16_t>(f.mes << 8 | f.anio);
    return true;
}

int Memoria_Logger::Suma_Control(const std::string& texto_palabras) {
    uint32_t suma = 0;
    for (unsigned char c : texto_palabras) suma += c;
    return static_cast<int>(suma % 65536 % 10000);
}

std::string Memoria_Logger::Texto_Volcado() const {
    std::string t;
    t.reserve(kLargo_Volcado);
    char buf[8];
    for (uint16_t w : palabras_) {
        std::snprintf(buf, sizeof buf, "%04X ", w);
        t += buf;
    }
    std::snprintf(buf, sizeof buf, "%04d ", Suma_Control(t));
    t += buf;
    t += "\r\n";
    return t;
}

bool Memoria_Logger::Cargar_Respaldo(const std::string& ruta, std::string& error) {
    std::ifstream f(ruta, std::ios::binary);
    if (!f) {
        error = "no se puede abrir " + ruta;
        return false;
    }
    std::array<uint16_t, kPalabras> leidas;
    leidas.fill(kLibre);
    std::string linea;
    int n = 0;
    while (n < kPalabras && std::getline(f, linea)) {
        while (!linea.empty() && (linea.back() == '\r' || linea.back() == ' ')) linea.pop_back();
        bool ok = linea.size() == 4;
        for (char c : linea) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
        if (!ok) {
            error = "línea " + std::to_string(n + 1) + " no es una palabra de memoria: \"" + linea +
                    "\"";
            return false;
        }
        leidas[n++] = static_cast<uint16_t>(std::stoul(linea, nullptr, 16));
    }
    palabras_ = leidas;
    if (n < kPalabras) error = "el respaldo trae " + std::to_string(n) + " palabras";
    return true;
}

void Memoria_Logger::Precargar(int64_t ahora, int alcance, int equipo) {
    struct Plan {
        int64_t hace;  // seconds before `ahora` at which the block started
        int intervalo, lecturas;
    };
    // Three past campaigns: 15 min for 3 days, 30 min for 2 days, 1 hour for 30 hours.
    const Plan planes[] = {
        {9 * 86400 + 4000, 2, 288}, {5 * 86400 + 1500, 3, 96}, {2 * 86400 + 700, 4, 30}};
    Vaciar();
    int p = 0;
    for (const Plan& pl : planes) {
        const int64_t inicio = (ahora - pl.hace) / 60 * 60;
        Escribir_Encabezado(p, {alcance, equipo, pl.intervalo, De_Segundos(inicio)});
        p += 5;
        int64_t t = inicio;
        for (int k = 0; k < pl.lecturas && p < kPalabras; ++k) {
            t = Siguiente_Punto(t, pl.intervalo);
            palabras_[p++] = Lectura_Simulada(t);
        }
    }
}

}  // namespace aq::sim
