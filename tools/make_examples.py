#!/usr/bin/env python3
"""Writes the two example books of Kirjanpito.

    examples/esimerkki-2025.tlk   fiscal year 1.1.2025-31.12.2025, closed
    examples/esimerkki-2026.tlk   fiscal year 1.1.2026-31.12.2026, result not yet booked

Both books belong to the same made-up company, Esimerkki Oy, a small IT consulting firm that also
resells computer equipment and professional books and publishes a subscription newsletter.
The 2026 opening voucher is computed from the 2025 closing balance sheet, with the 2025 result
moved to "Edellisten tilikausien voitto (tappio)".

Usage:
    tools/make_examples.py            write both books, then verify them
    tools/make_examples.py --check    only verify the files on disk against this generator
    tools/make_examples.py --summary  also print a short income statement and VAT summary

The output is deterministic: the data below is fixed, nothing is random.

The books are nested-list files (Windows-1252, one line, no newline at the end). The writer in
this script is the same algorithm as the program's nested-list writer, so the program reads
them and saves them back byte for byte.
"""

import datetime
import os
import sys

# --------------------------------------------------------------------------------------------
# Book tree: a node is (text, [children]); texts are str and are encoded as cp1252 on writing.
# --------------------------------------------------------------------------------------------


def node(text, *children):
    return (text, list(children))


def is_whole_quoted(text):
    return len(text) >= 2 and text[:1] == b'"' and text[-1:] == b'"'


def write_nested_list(root):
    """Tree to bytes, following the nested-list writer rules literally."""
    out = bytearray()

    def write_node(n):
        text = n[0].encode("cp1252")
        children = n[1]
        list_form = bool(children) or text == b"" or (b" " in text and not is_whole_quoted(text))
        if list_form:
            if out and out[-1] not in (0x20, 0x28):
                out.append(0x20)
            out.append(0x28)
            out.extend(text)
            for i, child in enumerate(children):
                if i > 0:
                    out.append(0x20)
                write_node(child)
            out.append(0x29)
        else:
            out.extend(text)

    write_node(root)
    return bytes(out)


def read_nested_list(data):
    """Bytes to a list of root nodes, following the nested-list reader steps literally."""
    n = len(data)
    roots = []
    if n <= 2:
        return roots
    p = 0
    blanks = (0x20, 0x09, 0x0D, 0x0A)

    def byte_at(i):
        return data[i] if i < n else None

    def read_items(parent_children):
        nonlocal p
        while True:
            # 1. start of an item
            b = byte_at(p)
            if b is not None and b != 0x22:
                p += 1
            # 2. the item's text
            quoted = False
            text = bytearray()
            while p < n and (quoted or data[p] not in (0x28, 0x29)):
                b = data[p]
                if quoted and b == 0x5C:
                    p += 1
                    if p < n:
                        text.append(data[p])
                        p += 1
                    continue
                if b == 0x22:
                    quoted = not quoted
                text.append(b)
                p += 1
            # 3. trim
            text = bytes(text)
            while text and text[0] <= 32:
                text = text[1:]
            while text and text[-1] <= 32:
                text = text[:-1]
            # 4. a quoted-string item
            if text and text[:1] == b'"' and text[-1:] == b'"':
                p -= 1
            # 5. add the node
            item = (text.decode("cp1252"), [])
            parent_children.append(item)
            # 6. children or the closing byte
            if byte_at(p) == 0x28:
                read_items(item[1])
            else:
                p += 1
            # 7. skip white space
            while byte_at(p) in blanks:
                p += 1
            # 8. next item of the same list
            if p < n and data[p] != 0x29:
                continue
            # 9. end of the list
            p += 1
            while byte_at(p) in blanks:
                p += 1
            return

    read_items(roots)
    return roots


# --------------------------------------------------------------------------------------------
# Money and dates
# --------------------------------------------------------------------------------------------


def pct(amount, rate):
    """amount (cents) * rate (hundredths of a percent), rounded half away from zero."""
    v = abs(amount) * rate
    r = (v + 5000) // 10000
    return r if amount >= 0 else -r


def euros(cents):
    sign = "-" if cents < 0 else ""
    return "%s%d,%02d" % (sign, abs(cents) // 100, abs(cents) % 100)


D = datetime.date


def weekday_on_or_after(d):
    while d.weekday() >= 5:
        d += datetime.timedelta(days=1)
    return d


def last_weekday(year, month):
    d = D(year + (month == 12), month % 12 + 1, 1) - datetime.timedelta(days=1)
    while d.weekday() >= 5:
        d -= datetime.timedelta(days=1)
    return d


def month_end(year, month):
    return D(year + (month == 12), month % 12 + 1, 1) - datetime.timedelta(days=1)


def add_days(d, days):
    return d + datetime.timedelta(days=days)


# --------------------------------------------------------------------------------------------
# Chart of accounts
# --------------------------------------------------------------------------------------------
#
# A heading is ("H", name, [items]); an account is ("A", number, name, vat) where vat is None or
# the VAT node text. Rates are per year; {G} is the general rate, {R} the reduced rate of books,
# food, passenger transport and accommodation, {L} the low rate of newspapers and periodicals.


def chart(year):
    if year == 2025:
        g, r, l = 2550, 1400, 1000
    else:
        g, r, l = 2550, 1350, 1000

    def short(rate):
        s = "%d,%02d" % (rate // 100, rate % 100)
        s = s.rstrip("0").rstrip(",")
        return s

    G, R, L = short(g), short(r), short(l)

    def A(number, name, vat=None):
        name = name.replace("{G}", G).replace("{R}", R).replace("{L}", L)
        if vat is not None:
            vat = vat.replace("{g}", str(g)).replace("{r}", str(r)).replace("{l}", str(l))
        return ("A", number, name, vat)

    def H(name, *items):
        return ("H", name, list(items))

    assets = [
        H("Pysyvät vastaavat",
          H("Aineettomat hyödykkeet",
            A(1050, "Aineettomat oikeudet"),
            A(1090, "Muut pitkävaikutteiset menot")),
          H("Aineelliset hyödykkeet",
            A(1150, "Koneet ja kalusto"),
            A(1180, "Muut aineelliset hyödykkeet")),
          H("Sijoitukset",
            A(1300, "Muut osakkeet ja osuudet"))),
        H("Vaihtuvat vastaavat",
          H("Vaihto-omaisuus",
            A(1530, "Tavarat")),
          H("Saamiset",
            A(1700, "Myyntisaamiset"),
            A(1750, "Muut saamiset"),
            A(1763, "Ostojen arvonlisävero", "vat debit"),
            A(1780, "Siirtosaamiset")),
          H("Rahat ja pankkisaamiset",
            A(1900, "Käteisvarat"),
            A(1910, "Pankkitili"),
            A(1920, "Säästötili"))),
    ]
    liabilities = [
        H("Oma pääoma",
          A(2000, "Osakepääoma"),
          A(2060, "Sijoitetun vapaan oman pääoman rahasto"),
          A(2370, "Edellisten tilikausien voitto (tappio)"),
          A(2380, "Tilikauden voitto (tappio)")),
        H("Vieras pääoma",
          H("Pitkäaikainen vieras pääoma",
            A(2620, "Lainat rahoituslaitoksilta")),
          H("Lyhytaikainen vieras pääoma",
            A(2871, "Ostovelat"),
            H("Muut velat",
              A(2920, "Ennakonpidätysvelka"),
              A(2930, "Sosiaaliturvamaksuvelka"),
              A(2931, "Myynnin alv {G} %", "vat credit {g}"),
              A(2932, "Myynnin alv {R} %", "vat credit {r}"),
              A(2933, "Myynnin alv {L} %", "vat credit {l}"),
              A(2935, "EU-tavarahankintojen alv", "vat eugdebit"),
              A(2936, "EU-palveluostojen alv", "vat eusdebit"),
              A(2939, "Arvonlisäverovelka"),
              A(2940, "Eläkevakuutusmaksuvelka"),
              A(2945, "Työttömyysvakuutusmaksuvelka"),
              A(2950, "Osinkovelka")),
            H("Siirtovelat",
              A(2960, "Muut siirtovelat"),
              A(2962, "Lomapalkkavelka"),
              A(2965, "Tuloverovelka")))),
    ]
    result = [
        H("Liikevaihto",
          A(3000, "Konsultointipalvelut {G} %", "vat sales {g}"),
          A(3010, "Tavaramyynti {G} %", "vat sales {g}"),
          A(3020, "Kirjamyynti {R} %", "vat sales {r}"),
          A(3030, "Lehtitilaukset {L} %", "vat sales {l}"),
          A(3300, "Palvelumyynti EU", "vat eussales")),
        H("Liiketoiminnan muut tuotot",
          A(3990, "Muut tuotot")),
        H("Materiaalit ja palvelut",
          H("Aineet, tarvikkeet ja tavarat",
            H("Ostot tilikauden aikana",
              A(4000, "Tavaraostot {G} %", "vat purchase {g}"),
              A(4010, "Kirjaostot {R} %", "vat purchase {r}"),
              A(4150, "Tavaraostot EU", "vat eugpurchase"),
              A(4300, "Ostorahdit", "vat purchase {g}")),
            A(4400, "Varastojen muutos")),
          H("Ulkopuoliset palvelut",
            A(4450, "Alihankinnat", "vat purchase {g}"))),
        H("Henkilöstökulut",
          H("Palkat ja palkkiot",
            A(5000, "Palkat"),
            A(5080, "Lomapalkat ja lomarahat"),
            A(5090, "Lomapalkkavelan muutos")),
          H("Henkilösivukulut",
            H("Eläkekulut",
              A(6100, "TyEL-maksut")),
            H("Muut henkilösivukulut",
              A(6300, "Sosiaaliturvamaksut"),
              A(6310, "Työttömyysvakuutusmaksut"),
              A(6320, "Tapaturmavakuutusmaksut"),
              A(6330, "Ryhmähenkivakuutusmaksut")))),
        H("Poistot ja arvonalentumiset",
          A(6810, "Poistot aineettomista hyödykkeistä"),
          A(6830, "Poistot koneista ja kalustosta")),
        H("Liiketoiminnan muut kulut",
          H("Henkilöstön muut kulut",
            A(7000, "Henkilöstön koulutus", "vat purchase {g}"),
            A(7020, "Työterveyshuolto")),
          H("Toimitilakulut",
            A(7100, "Toimitilavuokrat", "vat purchase {g}"),
            A(7150, "Toimitilojen muut kulut", "vat purchase {g}")),
          H("Matkakulut",
            A(7400, "Matkaliput", "vat purchase {r}"),
            A(7410, "Majoituskulut", "vat purchase {r}"),
            A(7420, "Kilometrikorvaukset"),
            A(7430, "Päivärahat")),
          H("Markkinointikulut",
            A(7500, "Ilmoitus- ja mainoskulut", "vat purchase {g}"),
            A(7550, "Edustuskulut")),
          H("Hallintokulut",
            A(7600, "Puhelin- ja tietoliikennekulut", "vat purchase {g}"),
            A(7610, "Ohjelmistot ja pilvipalvelut", "vat purchase {g}"),
            A(7615, "Ohjelmistopalvelut EU", "vat euspurchase"),
            A(7620, "Toimistotarvikkeet", "vat purchase {g}"),
            A(7640, "Lehdet ja kirjallisuus", "vat purchase {l}"),
            A(7660, "Kirjanpito- ja tilintarkastuspalvelut", "vat purchase {g}"),
            A(7680, "Pankkikulut"),
            A(7690, "Vakuutukset"),
            A(7695, "Jäsenmaksut")),
          H("Muut kulut",
            A(7990, "Muut liikekulut"))),
        # A heading whose name holds "#" prints the running total of the headings above it
        # in place of a heading line: the operating result and the result before taxes.
        H("Liikevoitto (-tappio)#"),
        H("Rahoitustuotot ja -kulut",
          A(9160, "Korkotuotot"),
          A(9400, "Korkokulut"),
          A(9460, "Muut rahoituskulut")),
        H("Voitto (tappio) ennen veroja#"),
        H("Tuloverot",
          A(9900, "Tuloverot")),
        # The result account: its balance counts as part of the period result and it gets no
        # line of its own. It stands in the income statement so that the statement build has
        # read it before the period result is shown on the liabilities side. The closing entry
        # debits it with the profit and credits 2380 Tilikauden voitto (tappio).
        A(9990, "@Tuloksen siirto taseeseen"),
    ]
    return [("V A S T A A V A A", assets), ("V A S T A T T A V A A", liabilities),
            ("T U L O S", result)]


def chart_tree(year):
    def item_node(item):
        if item[0] == "A":
            _, number, name, vat = item
            children = [node("")]
            if vat is not None:
                children.append(node(vat))
            return node('account %d "%s"' % (number, name), *children)
        _, name, items = item
        if not items:
            return node('account 0 "%s"' % name)
        return node('account 0 "%s"' % name, node("", *[item_node(i) for i in items]))

    tops = []
    for name, items in chart(year):
        tops.append(node('account -1 "%s"' % name, node("", *[item_node(i) for i in items])))
    return node("account-map", *tops)


def chart_accounts(year):
    """{number: (name, vat text or None, top index)}"""
    accounts = {}

    def walk(items, top):
        for item in items:
            if item[0] == "A":
                assert item[1] not in accounts, item
                accounts[item[1]] = (item[2], item[3], top)
            else:
                walk(item[2], top)

    for top, (_, items) in enumerate(chart(year)):
        walk(items, top)
    return accounts


# --------------------------------------------------------------------------------------------
# The journal model
# --------------------------------------------------------------------------------------------


class Journal:
    def __init__(self, year):
        self.year = year
        self.accounts = chart_accounts(year)
        self.vouchers = []   # (date, description, [(account, cents)])

    def add(self, date, description, lines):
        assert date.year == self.year, (date, description)
        merged = [(a, c) for a, c in lines if c != 0]
        assert merged, description
        assert sum(c for _, c in merged) == 0, (description, merged)
        for a, _ in merged:
            assert a in self.accounts, (description, a)
        assert '"' not in description and "\\" not in description, description
        self.vouchers.append((date, description, merged))

    def vat_class(self, account):
        vat = self.accounts[account][1]
        return vat.split()[1] if vat else None

    def vat_payable(self, month):
        """Payable VAT of one month: the same sums the VAT report adds up."""
        total = 0
        for date, description, lines in self.vouchers[1:]:   # the opening voucher left out
            if date.month != month:
                continue
            for a, c in lines:
                if self.vat_class(a) in ("credit", "eugdebit", "eusdebit", "bdebit", "debit"):
                    total -= c
        return total

    def balances(self):
        b = {}
        for _, _, lines in self.vouchers:
            for a, c in lines:
                b[a] = b.get(a, 0) + c
        return b

    def ordered(self):
        """Vouchers in date order (stable), the opening voucher first."""
        return sorted(self.vouchers, key=lambda v: v[0])


class Company:
    """Everything that carries over from one month or year to the next."""

    def __init__(self):
        self.receivables = []      # [invoice number, customer, cents, payment date]
        self.payables = []         # [supplier, reference, cents, payment date]
        self.employer_taxes = {}   # (year, month) -> (withholding, social security)
        self.pension = {}          # (year, month) -> (TyEL, unemployment insurance)
        self.vat = {}              # (year, month) -> payable VAT
        self.next_invoice = 1045
        self.dividend_payable = None   # (payment date, gross cents)


# --------------------------------------------------------------------------------------------
# Yearly parameters (illustrative figures for the example company)
# --------------------------------------------------------------------------------------------

YEAR = {
    2025: dict(
        general=2550, reduced=1400, low=1000,
        salaries=[("toimitusjohtaja", 390000, 2400), ("ohjelmistokehittäjä", 362000, 2050)],
        tyel_total=2485, tyel_employee=715, social=187, unemp_employer=20, unemp_employee=59,
        prepaid_tax=45000, rent=95000, phone=8990, bookkeeping=29000, bank_fee=1490,
        hourly=10500, eu_hourly=11000, maintenance=260000,
    ),
    2026: dict(
        general=2550, reduced=1350, low=1000,
        salaries=[("toimitusjohtaja", 400000, 2400), ("ohjelmistokehittäjä", 372000, 2050)],
        tyel_total=2485, tyel_employee=730, social=184, unemp_employer=20, unemp_employee=59,
        prepaid_tax=60000, rent=98000, phone=9290, bookkeeping=31000, bank_fee=1590,
        hourly=10800, eu_hourly=11300, maintenance=270000,
    ),
}

CUSTOMER_DELAY = {   # days between the due date and the payment
    "Järvisen Konepaja Oy": 0,
    "Tilitoimisto Laskunen Oy": 3,
    "Satamalogistiikka Oy": 6,
    "Rakennus Mäkelä Oy": 9,
    "Tallinna Tarkvara OÜ": 4,
    "Koulutuskeskus Taito Oy": 2,
    "Kauppahuone Virtanen Oy": 0,
    "Järvikylän kunta": 1,
}

# Routine sales invoices, one summary voucher per month. Per month a list of
# (customer, [(account, net cents or ("h", hours))], payment term in days).
# "M" stands for the monthly maintenance fee of the year.


def routine_sales(year):
    hourly = YEAR[year]["hourly"]
    eu_hourly = YEAR[year]["eu_hourly"]

    def hours(h):
        return h * hourly

    def eu_hours(h):
        return h * eu_hourly

    maint = YEAR[year]["maintenance"]
    if year == 2025:
        laskunen = [34, 30, 42, 38, 32, 26, 0, 20, 40, 44, 36, 28]
        satama = [46, 48, 44, 40, 50, 42, 12, 34, 30, 8, 6, 14]
        tallinna = [32, 0, 36, 24, 34, 30, 0, 32, 20, 28, 0, 26]
        makela = {3: (320000, 8), 6: (540000, 12), 9: (280000, 6), 11: (410000, 10)}
        jarvinen_goods = {12: 220000}
        taito_books = {2: 68000, 8: 124000, 10: 54000}
    else:
        laskunen = [30, 34, 38, 36, 30, 24, 0, 22, 36, 40, 34, 26]
        satama = [10, 12, 20, 44, 48, 40, 14, 38, 30, 16, 12, 10]
        tallinna = [28, 26, 0, 30, 32, 28, 0, 30, 26, 0, 24, 20]
        makela = {2: (360000, 8), 5: (480000, 10), 9: (310000, 6), 11: (520000, 12)}
        jarvinen_goods = {6: 185000}
        taito_books = {1: 96000, 8: 142000, 10: 61000}

    months = {}
    for m in range(1, 13):
        inv = []
        inv.append(("Järvisen Konepaja Oy",
                    [(3000, maint)] + ([(3010, jarvinen_goods[m])] if m in jarvinen_goods else []),
                    14))
        if laskunen[m - 1]:
            inv.append(("Tilitoimisto Laskunen Oy", [(3000, hours(laskunen[m - 1]))], 14))
        if satama[m - 1]:
            inv.append(("Satamalogistiikka Oy", [(3000, hours(satama[m - 1]))], 14))
        if m in makela:
            goods, h = makela[m]
            inv.append(("Rakennus Mäkelä Oy", [(3010, goods), (3000, hours(h))], 21))
        if tallinna[m - 1]:
            inv.append(("Tallinna Tarkvara OÜ", [(3300, eu_hours(tallinna[m - 1]))], 30))
        if m in taito_books:
            inv.append(("Koulutuskeskus Taito Oy", [(3020, taito_books[m])], 14))
        months[m] = inv
    return months


# Web shop settlements into the bank account at each month end: (books net, newsletter net).
WEBSHOP = {
    2025: [(12040, 41890), (8120, 18350), (9560, 16200), (7010, 15120), (6280, 14090),
           (4150, 12230), (3570, 11180), (11060, 13040), (15230, 21070), (9080, 17150),
           (10540, 16310), (22180, 19220)],
    2026: [(13310, 45620), (9020, 19140), (10280, 17050), (7640, 16380), (6950, 15010),
           (4870, 13020), (3910, 11940), (11870, 14260), (16420, 22680), (9930, 18020),
           (11260, 17340), (23960, 20510)],
}

# Card and direct-debit items on the bank statement: month -> [(description, lines)] where the
# lines are (account, net cents); VAT is added from the account's rate.
CARD = {
    2025: {
        1: [("Vakuutusmaksut", [(6320, 33400), (6330, 5200), (7690, 64800)]),
            ("Talouslehti, vuositilaus", [(7640, 32000)])],
        2: [("Nimbus Software Ltd, vuosilisenssi", [(7615, 144000)]),
            ("Ohjelmistoyrittäjät ry, jäsenmaksu", [(7695, 45000)])],
        3: [("Toimistotarvikkeet", [(7620, 8640)]), ("Työterveyshuolto", [(7020, 24000)])],
        4: [("Mediatalo Oy, ilmoitus", [(7500, 60000)])],
        5: [("Junaliput Oulu", [(7400, 13600)]), ("Hotelli Oulu", [(7410, 11800)]),
            ("Siivous", [(7150, 12000)])],
        6: [("Koulutus: pilvipalveluiden tietoturva", [(7000, 49000)]),
            ("Työterveyshuolto", [(7020, 24000)]),
            ("PRH, kaupparekisterin muutosilmoitus", [(7990, 8000)])],
        8: [("Ohjelmistotalo Oy, lisenssit", [(7610, 38000)]), ("Siivous", [(7150, 12000)])],
        9: [("Asiakaslounas", [(7550, 18640)]), ("Työterveyshuolto", [(7020, 24000)])],
        10: [("Mediatalo Oy, ilmoitus", [(7500, 45000)])],
        11: [("Toimistotarvikkeet", [(7620, 6290)]), ("Siivous", [(7150, 12000)])],
        12: [("Joululahjat asiakkaille", [(7550, 31200)]),
             ("Työterveyshuolto", [(7020, 24000)])],
    },
    2026: {
        1: [("Vakuutusmaksut", [(6320, 35200), (6330, 5400), (7690, 67100)]),
            ("Talouslehti, vuositilaus", [(7640, 33500)])],
        2: [("Nimbus Software Ltd, vuosilisenssi", [(7615, 151200)]),
            ("Ohjelmistoyrittäjät ry, jäsenmaksu", [(7695, 47000)])],
        3: [("Toimistotarvikkeet", [(7620, 9320)]), ("Työterveyshuolto", [(7020, 25000)])],
        4: [("Mediatalo Oy, ilmoitus", [(7500, 62000)]), ("Siivous", [(7150, 12500)])],
        5: [("Koulutus: tekoäly ohjelmistokehityksessä", [(7000, 54000)]),
            ("PRH, kaupparekisteriotteet", [(7990, 2700)])],
        6: [("Työterveyshuolto", [(7020, 25000)])],
        8: [("Ohjelmistotalo Oy, lisenssit", [(7610, 41000)]), ("Siivous", [(7150, 12500)])],
        9: [("Asiakaslounas", [(7550, 21480)]), ("Työterveyshuolto", [(7020, 25000)])],
        10: [("Mediatalo Oy, ilmoitus", [(7500, 48000)])],
        11: [("Toimistotarvikkeet", [(7620, 7180)]), ("Siivous", [(7150, 12500)])],
        12: [("Joululahjat asiakkaille", [(7550, 33600)]),
             ("Työterveyshuolto", [(7020, 25000)])],
    },
}

# Other receipts on the bank statement: month -> [(description, account, cents)]
OTHER_RECEIPTS = {
    2025: {11: [("Vakuutuskorvaus, rikkoutunut näyttö", 3990, 24000)]},
    2026: {},
}

# Invoiced purchases: (date, description, supplier, reference, [(account, net)], term, kind)
# kind: "domestic" (input VAT at the account's rate) or "eu-goods" (reverse charge).
PURCHASES = {
    2025: [
        (D(2025, 3, 6), "Ostolasku Tietotukku Oy 91234: palvelin ja oheislaitteet",
         "Tietotukku Oy", "91234", [(1150, 340000), (4000, 480000), (4300, 4500)], 30, "domestic"),
        (D(2025, 5, 14), "Ostolasku Datacomp GmbH 2025-0418: kannettavat tietokoneet",
         "Datacomp GmbH", "2025-0418", [(4150, 520000)], 30, "eu-goods"),
        (D(2025, 9, 4), "Ostolasku Tietotukku Oy 95870: näytöt ja telakat",
         "Tietotukku Oy", "95870", [(4000, 390000), (4300, 4500)], 30, "domestic"),
        (D(2025, 11, 20), "PROJ Verkkokauppa: ostolasku Koodipaja Oy 311, integraatiot",
         "Koodipaja Oy", "311", [(4450, 560000)], 14, "domestic"),
    ],
    2026: [
        (D(2026, 1, 22), "PROJ Verkkokauppa: ostolasku Koodipaja Oy 327, maksuintegraatio",
         "Koodipaja Oy", "327", [(4450, 480000)], 14, "domestic"),
        (D(2026, 2, 5), "Ostolasku Tietotukku Oy 98112: kannettavat ja näytöt",
         "Tietotukku Oy", "98112", [(4000, 420000), (4300, 4900)], 30, "domestic"),
        (D(2026, 3, 10), "Ostolasku Kirjavälitys Oy 55021: ammattikirjat",
         "Kirjavälitys Oy", "55021", [(4010, 165000)], 21, "domestic"),
        (D(2026, 6, 9), "Ostolasku Datacomp GmbH 2026-0377: telakointiasemat",
         "Datacomp GmbH", "2026-0377", [(4150, 460000)], 30, "eu-goods"),
        (D(2026, 8, 20), "Ostolasku Tietotukku Oy 101447: verkkolaitteet",
         "Tietotukku Oy", "101447", [(4000, 510000), (4300, 4900)], 30, "domestic"),
    ],
}

# Travel expense claims paid to an employee: (date, description, [(account, net)])
EXPENSE_CLAIMS = {
    2025: [],
    2026: [
        (D(2026, 10, 16), "PROJ Kuntaportaali: matkalasku, asiakastapaaminen Järvikylässä 13.-14.10.",
         [(7400, 10240), (7410, 11900), (7430, 5400 + 2500)]),
    ],
}

# Project invoices: (date, description prefix, customer, [(account, net)], term)
PROJECT_SALES = {
    2025: [
        (D(2025, 10, 31), "PROJ Verkkokauppa: määrittely", "Kauppahuone Virtanen Oy",
         [(3000, 980000)], 14),
        (D(2025, 11, 28), "PROJ Verkkokauppa: toteutus, vaihe 1", "Kauppahuone Virtanen Oy",
         [(3000, 1240000)], 14),
        (D(2025, 12, 19), "PROJ Verkkokauppa: toteutus, vaihe 2", "Kauppahuone Virtanen Oy",
         [(3000, 860000), (3010, 215000)], 14),
    ],
    2026: [
        (D(2026, 1, 30), "PROJ Verkkokauppa: toteutus, vaihe 3", "Kauppahuone Virtanen Oy",
         [(3000, 1120000)], 14),
        (D(2026, 2, 27), "PROJ Verkkokauppa: testaus ja käyttöönotto", "Kauppahuone Virtanen Oy",
         [(3000, 940000)], 14),
        (D(2026, 3, 31), "PROJ Verkkokauppa: käyttöönoton tuki", "Kauppahuone Virtanen Oy",
         [(3000, 420000)], 14),
        (D(2026, 10, 30), "PROJ Kuntaportaali: esiselvitys ja määrittely", "Järvikylän kunta",
         [(3000, 760000)], 21),
        (D(2026, 12, 18), "PROJ Kuntaportaali: toteutus, vaihe 1", "Järvikylän kunta",
         [(3000, 1080000)], 21),
    ],
}


# --------------------------------------------------------------------------------------------
# Voucher builders
# --------------------------------------------------------------------------------------------


def account_rate(j, account):
    vat = j.accounts[account][1]
    parts = vat.split() if vat else []
    if len(parts) == 3:
        return int(parts[2])
    return 0


def output_vat_account(j, rate):
    for number, (_, vat, _) in sorted(j.accounts.items()):
        if vat == "vat credit %d" % rate:
            return number
    raise KeyError(rate)


def sales_lines(j, net_lines):
    """Credit lines of one invoice: revenue per account and output VAT per rate."""
    lines = []
    vat_by_rate = {}
    for account, net in net_lines:
        lines.append((account, -net))
        if j.vat_class(account) == "sales":
            rate = account_rate(j, account)
            vat_by_rate[rate] = vat_by_rate.get(rate, 0) + pct(net, rate)
    for rate in sorted(vat_by_rate, reverse=True):
        lines.append((output_vat_account(j, rate), -vat_by_rate[rate]))
    gross = -sum(c for _, c in lines)
    return lines, gross


def purchase_lines(j, net_lines, eu_goods=False, eu_services=False):
    """Debit lines of one purchase: costs and input VAT; returns (lines, amount to pay)."""
    lines = []
    vat = 0
    for account, net in net_lines:
        lines.append((account, net))
        if j.vat_class(account) == "purchase":
            vat += pct(net, account_rate(j, account))
    net_total = sum(n for _, n in net_lines)
    if eu_goods or eu_services:
        vat = pct(net_total, YEAR[j.year]["general"])
        lines.append((1763, vat))
        lines.append((2935 if eu_goods else 2936, -vat))
        return lines, net_total
    if vat:
        lines.append((1763, vat))
    return lines, net_total + vat


def invoice_payment_date(date, term, customer):
    return add_days(date, term + CUSTOMER_DELAY[customer])


def add_sales_invoice(j, co, date, customer, net_lines, term, lines_out):
    number = co.next_invoice
    co.next_invoice += 1
    lines, gross = sales_lines(j, net_lines)
    lines_out.append((1700, gross))
    lines_out.extend(lines)
    co.receivables.append([number, customer, gross, invoice_payment_date(date, term, customer)])
    return number


def month_sales(j, co, m, invoices):
    date = last_weekday(j.year, m)
    lines = []
    numbers = []
    for customer, net_lines, term in invoices:
        numbers.append(add_sales_invoice(j, co, date, customer, net_lines, term, lines))
    desc = "Myyntilaskut %d/%d, laskut %d-%d" % (m, j.year, numbers[0], numbers[-1])
    j.add(date, desc, lines)


def project_sale(j, co, date, prefix, customer, net_lines, term):
    lines = []
    number = add_sales_invoice(j, co, date, customer, net_lines, term, lines)
    j.add(date, "%s, lasku %d %s" % (prefix, number, customer), lines)


def purchase(j, co, date, desc, supplier, ref, net_lines, term, kind):
    lines, to_pay = purchase_lines(j, net_lines, eu_goods=(kind == "eu-goods"))
    lines.append((2871, -to_pay))
    co.payables.append([supplier, ref, to_pay, weekday_on_or_after(add_days(date, term))])
    j.add(date, desc, lines)


def salaries(j, co, m):
    p = YEAR[j.year]
    date = weekday_on_or_after(D(j.year, m, 25))
    gross = holiday = withholding = 0
    for _, monthly, ep_rate in p["salaries"]:
        extra = monthly // 2 if m == 6 else 0      # holiday bonus with the June salary
        gross += monthly
        holiday += extra
        withholding += pct(monthly + extra, ep_rate)
    pay = gross + holiday
    tyel = pct(pay, p["tyel_total"])
    tyel_employee = pct(pay, p["tyel_employee"])
    social = pct(pay, p["social"])
    unemp_employer = pct(pay, p["unemp_employer"])
    unemp_employee = pct(pay, p["unemp_employee"])
    net = pay - withholding - tyel_employee - unemp_employee
    lines = [
        (5000, gross),
        (5080, holiday),
        (6100, tyel - tyel_employee),
        (6300, social),
        (6310, unemp_employer),
        (2920, -withholding),
        (2930, -social),
        (2940, -tyel),
        (2945, -(unemp_employer + unemp_employee)),
        (1910, -net),
    ]
    desc = "Palkat %d/%d" % (m, j.year)
    if holiday:
        desc += " ja lomarahat"
    j.add(date, desc, lines)
    key = (j.year, m)
    w, s = co.employer_taxes.get(key, (0, 0))
    co.employer_taxes[key] = (w + withholding, s + social)
    co.pension[key] = (tyel, unemp_employer + unemp_employee)


def prev_month(year, month, back=1):
    index = year * 12 + month - 1 - back
    return index // 12, index % 12 + 1


def tax_payment(j, co, m, extra=None):
    """Payment to the tax account on the 12th: VAT of two months back, withholdings and
    social security of the previous month, the monthly income tax prepayment."""
    p = YEAR[j.year]
    date = weekday_on_or_after(D(j.year, m, 12))
    vy, vm = prev_month(j.year, m, 2)
    ey, em = prev_month(j.year, m, 1)
    vat = co.vat[(vy, vm)]
    withholding, social = co.employer_taxes[(ey, em)]
    lines = [(2939, vat), (2920, withholding), (2930, social), (9900, p["prepaid_tax"])]
    desc = "Oma-aloitteiset verot: alv %d/%d, työnantajasuoritukset %d/%d, ennakkovero" % (
        vm, vy, em, ey)
    if extra:
        lines.append(extra[1])
        desc += ", " + extra[0]
    lines.append((1910, -sum(c for _, c in lines)))
    j.add(date, desc, lines)


def bank_statement(j, co, m):
    """The month's bank statement: customer receipts, web shop settlement, supplier payments,
    rent and direct debits, pension insurance, loan, bank charges."""
    p = YEAR[j.year]
    y = j.year
    date = month_end(y, m)
    lines = []

    # Customer receipts
    paid = [r for r in co.receivables if r[3].year == y and r[3].month == m]
    if paid:
        lines.append((1910, sum(r[2] for r in paid)))
        for r in paid:
            lines.append((1700, -r[2]))
            co.receivables.remove(r)

    # Web shop settlement (books and newsletter subscriptions)
    books, newsletter = WEBSHOP[y][m - 1]
    shop, gross = sales_lines(j, [(3020, books), (3030, newsletter)])
    lines.append((1910, gross))
    lines.extend(shop)

    # Supplier payments
    for s in [s for s in co.payables if s[3].year == y and s[3].month == m]:
        lines.append((2871, s[2]))
        lines.append((1910, -s[2]))
        co.payables.remove(s)

    # Dividend payment
    if co.dividend_payable and co.dividend_payable[0].month == m:
        gross = co.dividend_payable[1]
        withholding = pct(gross, 750)
        lines += [(2950, gross), (2920, -withholding), (1910, -(gross - withholding))]
        w, s = co.employer_taxes.get((y, m), (0, 0))
        co.employer_taxes[(y, m)] = (w + withholding, s)
        co.dividend_payable = None

    def pay(net_lines, eu_services=False):
        pl, amount = purchase_lines(j, net_lines, eu_services=eu_services)
        lines.extend(pl)
        lines.append((1910, -amount))

    # Rent, telephone and data, bookkeeping service
    pay([(7100, p["rent"])])
    pay([(7600, p["phone"])])
    if y == 2026 and m == 2:
        # the 2025 financial statements, accrued at the year end
        pl, amount = purchase_lines(j, [(7660, 85000)])
        pl = [(2960, 85000) if a == 7660 else (a, c) for a, c in pl]
        lines.extend(pl)
        lines.append((1910, -amount))
    pay([(7660, p["bookkeeping"])])

    # Card purchases and other direct debits
    for _, net_lines in CARD[y].get(m, []):
        pay(net_lines, eu_services=any(a == 7615 for a, _ in net_lines))

    # Other receipts
    for _, account, amount in OTHER_RECEIPTS[y].get(m, []):
        lines += [(1910, amount), (account, -amount)]

    # Pension and unemployment insurance of the previous month
    py, pm = prev_month(y, m)
    tyel, unemp = co.pension[(py, pm)]
    lines += [(2940, tyel), (2945, unemp), (1910, -(tyel + unemp))]

    # Loan instalment and interest at each quarter end
    if m % 3 == 0:
        loan = -j.balances().get(2620, 0)
        interest = pct(loan, 450) // 4
        lines += [(2620, 150000), (9400, interest), (1910, -(150000 + interest))]

    # Interest on the savings account at the year end
    if m == 12:
        savings = j.balances().get(1920, 0)
        interest = pct(savings, 125)
        lines += [(1920, interest), (9160, -interest)]

    lines += [(7680, p["bank_fee"]), (1910, -p["bank_fee"])]
    j.add(date, "Tiliote %d/%d" % (m, y), lines)


# --------------------------------------------------------------------------------------------
# The two years
# --------------------------------------------------------------------------------------------

# The closing balance sheet of 2024, from the financial statements prepared before the company
# started to keep its books with this program.
OPENING_2025 = {
    1050: 240000, 1150: 960000, 1300: 120000, 1530: 685000,
    1910: 3631540, 1920: 1500000,
    2000: -250000, 2060: -1000000, 2620: -1800000,
    2962: -840000, 2965: -180000,
}
RECEIVABLES_2024 = [   # invoice number, customer, cents, payment date
    (1041, "Järvisen Konepaja Oy", 326300, D(2025, 1, 10)),
    (1042, "Tilitoimisto Laskunen Oy", 301200, D(2025, 1, 13)),
    (1043, "Rakennus Mäkelä Oy", 499490, D(2025, 1, 20)),
    (1044, "Tallinna Tarkvara OÜ", 286000, D(2025, 1, 27)),
]
PAYABLES_2024 = [("Tietotukku Oy", "88412", 302455, D(2025, 1, 15))]
VAT_2024 = {11: 295040, 12: 341285}
EMPLOYER_TAXES_2024_12 = (143200, 12716)
PENSION_2024_12 = (168980, 5372)


def opening_voucher(j, balances):
    lines = [(a, balances[a]) for a in sorted(balances) if balances[a] != 0]
    j.add(D(j.year, 1, 1), "Tilinavaus", lines)


def run_year(j, co, year_end):
    y = j.year
    sales = routine_sales(y)
    purchases = PURCHASES[y]
    projects = PROJECT_SALES[y]
    for m in range(1, 13):
        for date, desc, customer, net_lines, term in projects:
            if date.month == m:
                project_sale(j, co, date, desc, customer, net_lines, term)
        for date, desc, supplier, ref, net_lines, term, kind in purchases:
            if date.month == m:
                purchase(j, co, date, desc, supplier, ref, net_lines, term, kind)
        for date, desc, net_lines in EXPENSE_CLAIMS[y]:
            if date.month == m:
                lines, amount = purchase_lines(j, net_lines)
                j.add(date, desc, lines + [(1910, -amount)])
        extra = None
        if m == 4:
            residual = -j.balances().get(2965, 0)
            if residual:
                extra = ("täydennysmaksu %d" % (y - 1), (2965, residual))
        tax_payment(j, co, m, extra)
        if m == 4:
            dividend(j, co)
        salaries(j, co, m)
        month_sales(j, co, m, sales[m])
        bank_statement(j, co, m)
        co.vat[(y, m)] = j.vat_payable(m)
    year_end(j, co)


def dividend(j, co):
    y = j.year
    amount = {2025: 800000, 2026: 1500000}[y]
    date = D(y, 4, 16 if y == 2025 else 15)
    co.dividend_payable = (D(y, 4, 30), amount)
    j.add(date, "Osingonjako yhtiökokouksen %d.%d.%d päätöksen mukaan" % (
        date.day, date.month, date.year), [(2370, amount), (2950, -amount)])


def result_of(j):
    b = j.balances()
    return sum(c for a, c in b.items() if j.accounts[a][2] == 2)


def year_end_2025(j, co):
    date = D(2025, 12, 31)
    b = j.balances()
    # Depreciation: intangible rights straight line, machinery 25 % of the remaining book value
    intangible = 80000
    machinery = pct(b[1150], 2500)
    j.add(date, "Poistot 2025", [(6810, intangible), (6830, machinery),
                                 (1050, -intangible), (1150, -machinery)])
    # Inventory count, holiday pay accrual, accrued cost of the financial statements
    inventory = 742000
    holiday = 912000
    j.add(date, "Tilinpäätösjaksotukset 2025: varaston muutos, lomapalkkavelka, siirtovelat", [
        (1530, inventory - b[1530]), (4400, -(inventory - b[1530])),
        (5090, holiday + b[2962]), (2962, -(holiday + b[2962])),
        (7660, 85000), (2960, -85000)])
    # Income tax: 20 % of the taxable income; half of the entertainment costs is not deductible
    b = j.balances()
    before_taxes = -sum(c for a, c in b.items() if j.accounts[a][2] == 2 and a < 9900)
    taxable = before_taxes + b.get(7550, 0) // 2
    tax = pct(taxable, 2000)
    prepaid = b.get(9900, 0)
    j.add(date, "Tuloverojen jaksotus 2025", [(9900, tax - prepaid), (2965, -(tax - prepaid))])
    # Booking the result into the balance sheet through the result account
    result = result_of(j)
    j.add(date, "Tilikauden tuloksen kirjaus taseeseen", [(9990, -result), (2380, result)])


def year_end_2026(j, co):
    # The 2026 book is left before the closing entries: the result is still unbooked, so
    # the balance sheet shows it on the line "Tilikauden tulos".
    pass


def build_books():
    co = Company()
    co.receivables = [list(r) for r in RECEIVABLES_2024]
    co.payables = [list(p) for p in PAYABLES_2024]
    for m, v in VAT_2024.items():
        co.vat[(2024, m)] = v
    co.employer_taxes[(2024, 12)] = EMPLOYER_TAXES_2024_12
    co.pension[(2024, 12)] = PENSION_2024_12

    j25 = Journal(2025)
    opening = dict(OPENING_2025)
    opening[1700] = sum(r[2] for r in RECEIVABLES_2024)
    opening[2871] = -sum(p[2] for p in PAYABLES_2024)
    opening[2920] = -EMPLOYER_TAXES_2024_12[0]
    opening[2930] = -EMPLOYER_TAXES_2024_12[1]
    opening[2939] = -sum(VAT_2024.values())
    opening[2940] = -PENSION_2024_12[0]
    opening[2945] = -PENSION_2024_12[1]
    opening[2370] = -sum(opening.values())
    opening_voucher(j25, opening)
    run_year(j25, co, year_end_2025)

    # 2026 opening: the 2025 closing balance sheet, with the booked result carried to
    # the profit of previous years.
    j26 = Journal(2026)
    closing = {a: c for a, c in j25.balances().items() if j25.accounts[a][2] in (0, 1) and c}
    assert sum(closing.values()) == 0, "the 2025 balance sheet does not balance"
    carried = dict(closing)
    carried[2370] = carried.get(2370, 0) + carried.pop(2380, 0)
    assert sum(r[2] for r in co.receivables) == carried.get(1700, 0)
    assert sum(p[2] for p in co.payables) == -carried.get(2871, 0)
    opening_voucher(j26, carried)
    run_year(j26, co, year_end_2026)
    return {2025: (j25, closing), 2026: (j26, carried)}


def book_tree(j, company="Esimerkki Oy"):
    y = j.year
    events = []
    for number, (date, desc, lines) in enumerate(j.ordered()):
        entries = [node(str(a), node("money %d" % c)) for a, c in lines]
        events.append(node("event %d" % number,
                           node("date %d %d %d" % (date.year, date.month, date.day)),
                           node('"%s"' % desc),
                           node("", *entries)))
    return node('identity "Razeri" version "versio 0.22" finances',
                node('fiscal-year "%s"' % company,
                     node("date %d 1 1" % y),
                     node("date %d 12 31" % y),
                     chart_tree(y),
                     node("", *events)))


# --------------------------------------------------------------------------------------------
# Checks
# --------------------------------------------------------------------------------------------


def check_book(tree, data, name):
    problems = []
    roots = read_nested_list(data)
    if roots != [tree]:
        problems.append("%s: the file does not read back to the same tree" % name)
    if write_nested_list(roots[0] if roots else ("", [])) != data:
        problems.append("%s: writing the tree read back does not give the same bytes" % name)
    if data.startswith(b"\xef\xbb\xbf") or data.endswith(b"\n") or b"\n" in data:
        problems.append("%s: BOM or line break in the file" % name)

    book = roots[0] if roots else ("", [])
    fiscal = next((c for c in book[1] if c[0].startswith("fiscal-year")), None)
    if fiscal is None:
        return problems + ["%s: no fiscal-year node" % name], None
    amap_index = next(i for i, c in enumerate(fiscal[1]) if c[0].startswith("account-map"))
    amap = fiscal[1][amap_index]
    events = fiscal[1][amap_index + 1]

    accounts = set()

    def walk(n, inside_account):
        text = n[0]
        if text.startswith("account "):
            number = int(text.split()[1])
            if number > 0:
                if inside_account:
                    problems.append("%s: account %d inside an account" % (name, number))
                if number in accounts:
                    problems.append("%s: account %d twice" % (name, number))
                accounts.add(number)
                if not n[1] or n[1][0][0] != "":
                    problems.append("%s: account %d without a group node" % (name, number))
                for c in n[1][1:]:
                    if not c[0].startswith("vat "):
                        problems.append("%s: account %d: odd child %r" % (name, number, c[0]))
                for c in n[1]:
                    walk(c, True)
                return
        for c in n[1]:
            walk(c, inside_account)

    walk(amap, False)
    if len({len(str(a)) for a in accounts}) != 1:
        problems.append("%s: account numbers of different lengths" % name)

    debits = 0
    for number, event in enumerate(events[1]):
        if event[0] != "event %d" % number:
            problems.append("%s: voucher %d is numbered %r" % (name, number, event[0]))
        total = 0
        for entry in event[1][2][1]:
            if int(entry[0]) not in accounts:
                problems.append("%s: voucher %d posts to unknown account %s"
                                % (name, number, entry[0]))
            cents = int(entry[1][0][0].split()[1])
            total += cents
            if cents > 0:
                debits += cents
        if total != 0:
            problems.append("%s: voucher %d does not balance (%s)" % (name, number, euros(total)))
    stats = (len(accounts), len(events[1]), debits)
    return problems, stats


def summary(j):
    b = j.balances()
    print("  %s" % j.year)
    for top, label in ((2, "Tulos"), (0, "Vastaavaa"), (1, "Vastattavaa")):
        total = sum(c for a, c in b.items() if j.accounts[a][2] == top)
        print("    %-12s %12s" % (label, euros(total)))
    ops = sum(c for a, c in b.items() if j.accounts[a][2] == 2 and a < 9000)
    print("    %-12s %12s" % ("Liikevoitto", euros(-ops)))
    revenue = sum(c for a, c in b.items() if 3000 <= a < 3990)
    print("    %-12s %12s" % ("Liikevaihto", euros(-revenue)))
    print("    VAT per month: " + " ".join(euros(j.vat_payable(m)) for m in range(1, 13)))
    low = None
    running = 0
    for date, _, lines in j.ordered():
        running += sum(c for a, c in lines if a == 1910)
        if low is None or running < low[0]:
            low = (running, date)
    print("    lowest bank balance %s on %s, at the end %s" % (euros(low[0]), low[1],
                                                              euros(b.get(1910, 0))))


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "examples")
    check_only = "--check" in argv
    books = build_books()

    # the bank account must never go below zero
    for year, (j, _) in books.items():
        running = 0
        for date, desc, lines in j.ordered():
            running += sum(c for a, c in lines if a == 1910)
            assert running >= 0, (year, date, desc, running)

    failed = False
    for year in (2025, 2026):
        j, _ = books[year]
        tree = book_tree(j)
        data = write_nested_list(tree)
        path = os.path.join(out_dir, "esimerkki-%d.tlk" % year)
        if not check_only:
            os.makedirs(out_dir, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        with open(path, "rb") as f:
            on_disk = f.read()
        problems, stats = check_book(tree, on_disk, os.path.basename(path))
        if on_disk != data:
            problems.append("%s: differs from the generator's output" % os.path.basename(path))
        for p in problems:
            print(p)
        failed = failed or bool(problems)
        if stats:
            accounts, vouchers, debits = stats
            print("%s: %d accounts, %d vouchers (opening voucher included), debits %s, %d bytes"
                  % (os.path.basename(path), accounts, vouchers, euros(debits), len(on_disk)))

    # the 2026 opening equals the 2025 closing balance sheet, the result carried to 2370
    _, closing = books[2025]
    j26, carried = books[2026]
    expected = dict(closing)
    expected[2370] = expected.get(2370, 0) + expected.pop(2380, 0)
    opening = dict(j26.ordered()[0][2])
    if {a: c for a, c in expected.items() if c} != opening:
        print("the 2026 opening balances differ from the 2025 closing balances")
        failed = True

    if "--summary" in argv:
        for year in (2025, 2026):
            summary(books[year][0])
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
