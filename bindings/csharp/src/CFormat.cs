// The C library's printf for the conversions the library's reports use
// (%d %x %c %s %f with the flags '-', ' ', '+' and '0', width and
// precision), so that a report made here is the library's to the byte.
// %f rounds the value's exact binary expansion to nearest, ties to even,
// as glibc and MinGW's printf do.
using System;
using System.Globalization;
using System.Numerics;
using System.Text;

namespace SXCmdIF
{
internal static class CFormat
{
    internal static void Append(StringBuilder sb, string fmt, params object[] args)
    {
        int a = 0;
        for (int i = 0; i < fmt.Length; ++i) {
            char ch = fmt[i];
            if (ch != '%') {
                sb.Append(ch);
                continue;
            }
            ++i;
            if (fmt[i] == '%') {
                sb.Append('%');
                continue;
            }
            bool left = false, space = false, plus = false, zero = false;
            for (;; ++i) {
                if (fmt[i] == '-') left = true;
                else if (fmt[i] == ' ') space = true;
                else if (fmt[i] == '+') plus = true;
                else if (fmt[i] == '0') zero = true;
                else break;
            }
            int width = 0;
            while (char.IsDigit(fmt[i]))
                width = width * 10 + (fmt[i++] - '0');
            int prec = -1;
            if (fmt[i] == '.') {
                prec = 0;
                ++i;
                while (char.IsDigit(fmt[i]))
                    prec = prec * 10 + (fmt[i++] - '0');
            }
            char conv = fmt[i];
            object arg = args[a++];
            string sign = "", body;
            bool numeric = true;
            switch (conv) {
            case 'd': {
                long v = Convert.ToInt64(arg, CultureInfo.InvariantCulture);
                if (v < 0) sign = "-";
                else if (plus) sign = "+";
                else if (space) sign = " ";
                body = (v < 0 ? (ulong)(-(v + 1)) + 1 : (ulong)v).ToString(CultureInfo.InvariantCulture);
                break;
            }
            case 'x':
                body = Convert.ToUInt32(arg, CultureInfo.InvariantCulture).ToString("x", CultureInfo.InvariantCulture);
                break;
            case 'c':
                body = ((char)arg).ToString();
                numeric = false;
                break;
            case 's':
                body = (string)arg;
                numeric = false;
                break;
            case 'f': {
                double v = Convert.ToDouble(arg, CultureInfo.InvariantCulture);
                bool neg = BitConverter.DoubleToInt64Bits(v) < 0;
                if (neg) sign = "-";
                else if (plus) sign = "+";
                else if (space) sign = " ";
                if (double.IsNaN(v) || double.IsInfinity(v)) {
                    body = double.IsNaN(v) ? "nan" : "inf";
                    zero = false;
                } else {
                    body = Fixed(Math.Abs(v), prec < 0 ? 6 : prec);
                }
                break;
            }
            default:
                throw new FormatException("conversion %" + conv + " is not supported");
            }
            int pad = width - sign.Length - body.Length;
            if (pad <= 0) {
                sb.Append(sign).Append(body);
            } else if (left) {
                sb.Append(sign).Append(body).Append(' ', pad);
            } else if (zero && numeric) {
                sb.Append(sign).Append('0', pad).Append(body);
            } else {
                sb.Append(' ', pad).Append(sign).Append(body);
            }
        }
    }

    // The digits of a non-negative finite value with prec decimals.
    static string Fixed(double v, int prec)
    {
        long bits = BitConverter.DoubleToInt64Bits(v);
        int exp = (int)((bits >> 52) & 0x7FF);
        long man = bits & 0xFFFFFFFFFFFFFL;
        if (exp == 0)
            exp = 1;
        else
            man |= 1L << 52;
        exp -= 1075; // v = man * 2^exp
        BigInteger q = new BigInteger(man) * BigInteger.Pow(10, prec);
        if (exp >= 0) {
            q <<= exp;
        } else {
            BigInteger den = BigInteger.One << -exp, rem;
            q = BigInteger.DivRem(q, den, out rem);
            int c = (rem * 2).CompareTo(den);
            if (c > 0 || (c == 0 && !q.IsEven))
                q += 1;
        }
        string digits = q.ToString(CultureInfo.InvariantCulture).PadLeft(prec + 1, '0');
        return prec == 0 ? digits : digits.Substring(0, digits.Length - prec) + "." + digits.Substring(digits.Length - prec);
    }
}
}
