#pragma once

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace kv {

// An exact decimal number for money, exchange rates and counts: nine decimal
// places held in a 128-bit integer. Soles and dollars are whole numbers or
// cents, exchange rates thousandths; none of them may pass through binary
// floating point, where 3.450 × 1000 is not 3450.
class Decimal
{
public:
    static constexpr int kDecimales = 9;
    static constexpr __int128 kUnidad = 1'000'000'000;

    constexpr Decimal() = default;
    constexpr Decimal(int entero) : m_unidades(__int128(entero) * kUnidad) {}
    static constexpr Decimal entero(std::int64_t n) { return desdeUnidades(__int128(n) * kUnidad); }
    static constexpr Decimal desdeUnidades(__int128 u)
    {
        Decimal d;
        d.m_unidades = u;
        return d;
    }
    // Plain decimal text as the programs write it: optional sign, digits, an
    // optional point and decimals ("-12", "3.450", ".5"); nothing else.
    static std::optional<Decimal> leer(QStringView texto);

    constexpr __int128 unidades() const { return m_unidades; }
    constexpr bool esCero() const { return m_unidades == 0; }
    constexpr int signo() const { return m_unidades < 0 ? -1 : (m_unidades > 0 ? 1 : 0); }
    constexpr Decimal abs() const { return m_unidades < 0 ? desdeUnidades(-m_unidades) : *this; }

    friend constexpr Decimal operator+(Decimal a, Decimal b) { return desdeUnidades(a.m_unidades + b.m_unidades); }
    friend constexpr Decimal operator-(Decimal a, Decimal b) { return desdeUnidades(a.m_unidades - b.m_unidades); }
    friend constexpr Decimal operator-(Decimal a) { return desdeUnidades(-a.m_unidades); }
    Decimal &operator+=(Decimal b) { m_unidades += b.m_unidades; return *this; }
    Decimal &operator-=(Decimal b) { m_unidades -= b.m_unidades; return *this; }
    // Products and quotients keep nine decimals, the ninth rounded with halves
    // away from zero. Division by zero gives zero; callers check first.
    friend Decimal operator*(Decimal a, Decimal b);
    friend Decimal operator/(Decimal a, Decimal b);

    friend constexpr bool operator==(Decimal a, Decimal b) = default;
    friend constexpr auto operator<=>(Decimal a, Decimal b) = default;

    // Rounded to `decimales` places: halves away from zero (the rule for money
    // and for Format), or halves to the even neighbour (the rule of CInt/CLng).
    Decimal redondeado(int decimales) const;
    Decimal redondeadoPar(int decimales) const;
    // Whole number, halves away from zero / halves to even.
    std::int64_t aEntero() const;
    std::int64_t aEnteroPar() const;

    // Shortest plain text: "-1234.5", "0.5", "0"; no group separators.
    QString texto() const;
    // The number's text as the old runtime turned numbers into text for the
    // record check code: no leading blank and no zero before the point of a
    // value below 1 (".5", "-.25").
    QString textoCorto() const;

private:
    __int128 m_unidades = 0;
};

} // namespace kv
