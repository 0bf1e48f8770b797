#!/usr/bin/python3
"""Writes the expected report documents and preview pages of the golden cases.

The texts below were worked out by hand from the report format: every line of a
report document or preview page ends with CR LF and is stored in Windows-1250, the
document's elements are indented with TABs. Run this script after changing an
expected text; never feed it the program's own output.
"""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))

DECLARATION = '<?xml version="1.0"  encoding="Windows-1250"?>'

HEAD = [
    '<html><head>',
    '<meta http-equiv="Content-Type" content="text/html; charset=windows-1250">',
    '<title>Podgląd zawartości</title>',
    '</head>',
    '<STYLE TYPE="text/css">',
    '<!--',
    'BODY { ',
    'scrollbar-face-color: #2F2F47;',
    'scrollbar-highlight-color: #FFFFFF;',
    'scrollbar-3dlight-color: #FFFFFF;',
    'scrollbar-darkshadow-color: #FFFFFF;',
    'scrollbar-shadow-color: #FFFFFF;',
    'scrollbar-arrow-color: #FFFFFF;',
    'scrollbar-track-color: #FFFFFF; }  ',
    '.N {font-family: arial,tahoma,verdana;  font-size: 11pt; font-weight: normal; text-decoration: none;color: #000000; }',
    '.M {font-family: arial,verdana, tahoma, arial;  font-size: 8pt; font-weight: normal; text-decoration: none;color: #000000; }',
    '.U {font-family: arial,verdana, tahoma, arial;  font-size: 11pt; font-weight: normal; text-decoration: underline; color: #000000; }',
    '-->',
    '</STYLE>',
    '<body bgcolor="#FFFFFF" topmargin="0" leftmargin="20" rightmargin="20">',
]
assert len(HEAD) == 20

TAIL = ['&nbsp;<br>', '</p>', '</body>', '</html>']

SIGNATURE = 'SALA12 nauczyciel Windows 10'
NOW = '2026-06-19T09:05:03'
STAMP = ['\t<User>SALA12 nauczyciel Windows 10</User>',
         '\t<Date>19.06.2026 g. 09:05:03</Date>']


def page(title, body):
    return HEAD + ['<p align="center" class="N"><br><b>' + title + '</b></p>',
                   '<p align="left" class="N">'] + body + TAIL


def document(body):
    return [DECLARATION, '<Szkola>'] + body + STAMP + ['</Szkola>']


def write(folder, name, lines):
    data = ''.join(line + '\r\n' for line in lines).encode('cp1250')
    with open(os.path.join(HERE, folder, name), 'wb') as f:
        f.write(data)


def case(folder, inputs, doc_lines, page_lines):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    inputs = dict(inputs, machineSignature=SIGNATURE, now=NOW)
    with open(os.path.join(HERE, folder, 'input.json'), 'w', encoding='utf-8') as f:
        json.dump(inputs, f, ensure_ascii=False, indent=2)
        f.write('\n')
    write(folder, 'expected.xml', document(doc_lines))
    write(folder, 'expected.htm', page(inputs['previewTitle'], page_lines))


P3 = '&nbsp;&nbsp;&nbsp;'

# Topic 1: class classification.
case('werdykon', {
    'topic': 1,
    'previewTitle': 'Werdykon klasy - nauczanie',
    'teacher': 'Kowalska Anna',
    'className': 'IIIb <gim>',
    'classified': '6',
    'promoted': '4',
    'pupils': [
        {'name': 'Adamczyk Łukasz', 'fullAttendance': True, 'average': 512},
        {'name': 'Bąk Zofia'},
        {'name': 'Cieślak Michał', 'failSubjects': 'Matematyka, Fizyka & astronomia'},
        {'name': 'Dąbrowska Żaneta', 'fullAttendance': True, 'average': 475},
        {'name': 'Jabłoński Paweł', 'failSubjects': 'Język polski'},
        {'name': 'Wiśniewska Ewa', 'average': 600},
    ],
    'documentFileName': 'Werdykon_IIIb -gim-_Kowalska Anna',
    'previewFile': 'Klas.htm',
}, [
    '\t<Doc>Werdykon klasy</Doc>',
    '\t<Klasa>IIIb &lt;gim&gt;</Klasa>',
    '\t<Belfer>Kowalska Anna</Belfer>',
    '\t<Klasyfikowanych>6</Klasyfikowanych>',
    '\t<Promowanych>4</Promowanych>',
    '\t<Frekwencja>',
    '\t\t<IleOsob>2</IleOsob>',
    '\t\t<Uczen1>Adamczyk Łukasz</Uczen1>',
    '\t\t<Uczen2>Dąbrowska Żaneta</Uczen2>',
    '\t</Frekwencja>',
    '\t<Pasek>',
    '\t\t<IleOsob>3</IleOsob>',
    '\t\t<Uczen1>Adamczyk Łukasz',
    '\t\t\t<Srednia>512</Srednia>',
    '\t\t</Uczen1>',
    '\t\t<Uczen2>Dąbrowska Żaneta',
    '\t\t\t<Srednia>475</Srednia>',
    '\t\t</Uczen2>',
    '\t\t<Uczen3>Wiśniewska Ewa',
    '\t\t\t<Srednia>600</Srednia>',
    '\t\t</Uczen3>',
    '\t</Pasek>',
    '\t<Ndst>',
    '\t\t<IleOsob>2</IleOsob>',
    '\t\t<Uczen1>Cieślak Michał',
    '\t\t\t<Przedmioty>Matematyka, Fizyka &amp; astronomia</Przedmioty>',
    '\t\t</Uczen1>',
    '\t\t<Uczen2>Jabłoński Paweł',
    '\t\t\t<Przedmioty>Język polski</Przedmioty>',
    '\t\t</Uczen2>',
    '\t</Ndst>',
], [
    '<b>Klasa:</b> IIIb &lt;gim&gt;<br>',
    '<b>Wychowawca:</b> Kowalska Anna<br>',
    '<b>Klasyfikowanych:</b> 6<br>',
    '<b>Promowanych:</b> 4<br>',
    '<b>Stuprocentowa frekwencja:</b> Adamczyk Łukasz, Dąbrowska Żaneta<br>',
    '<b>Uczniowie zasługujący na wyróżnienie:</b><br>',
    P3 + 'Adamczyk Łukasz - 5,12<br>',
    P3 + 'Dąbrowska Żaneta - 4,75<br>',
    P3 + 'Wiśniewska Ewa - 6,00<br>',
    '<b>Uczniowie z ocenami niedostatecznymi:</b><br>',
    P3 + 'Cieślak Michał - Matematyka, Fizyka &amp; astronomia<br>',
    P3 + 'Jabłoński Paweł - Język polski<br>',
])

# Topic 2: conduct classification. Two pupils share one justification; a "&" typed
# in a justification ends its line.
case('zachowanie', {
    'topic': 2,
    'previewTitle': 'Werdykon klasy - zachowanie',
    'teacher': 'Nowak Jan',
    'className': 'IIa',
    'classified': '5',
    'remarks': [],
    'pupils': [
        {'name': 'Baran Kinga', 'exemplaryConduct': True},
        {'name': 'Czarnecki Olaf', 'conductGrade': 'nieodpowiednia',
         'conductJustification': ['Częste spóźnienia na lekcje.', '',
                                  'Ocena <obniżona> po rozmowie z rodzicami.']},
        {'name': 'Gołębiowska Iga', 'exemplaryConduct': True},
        {'name': 'Kruk Szymon', 'conductGrade': 'nieodpowiednia',
         'conductJustification': ['Częste spóźnienia na lekcje.', '',
                                  'Ocena <obniżona> po rozmowie z rodzicami.']},
        {'name': 'Żak Tadeusz', 'conductGrade': 'naganna',
         'conductJustification': ['Wagary & niszczenie mienia.']},
    ],
    'documentFileName': 'Zachowanie_IIa_Nowak Jan',
    'previewFile': 'Zach.htm',
}, [
    '\t<Doc>Werdykon klasy z zachowania</Doc>',
    '\t<Klasa>IIa</Klasa>',
    '\t<Belfer>Nowak Jan</Belfer>',
    '\t<Klasyfikowanych>5</Klasyfikowanych>',
    '\t<Wzorowi>',
    '\t\t<IleOsob>2</IleOsob>',
    '\t\t<Uczen1>Baran Kinga</Uczen1>',
    '\t\t<Uczen2>Gołębiowska Iga</Uczen2>',
    '\t</Wzorowi>',
    '\t<Obnizone>',
    '\t\t<Uzasadnienie1>',
    '\t\t\t<Osoba>Czarnecki Olaf, Kruk Szymon</Osoba>',
    '\t\t\t<Ocena>nieodpowiednia</Ocena>',
    '\t\t\t<IloscWierszy>3</IloscWierszy>',
    '\t\t\t<Wiersz0>Częste spóźnienia na lekcje.</Wiersz0>',
    '\t\t\t<Wiersz1> </Wiersz1>',
    '\t\t\t<Wiersz2>Ocena &lt;obniżona&gt; po rozmowie z rodzicami.</Wiersz2>',
    '\t\t</Uzasadnienie1>',
    '\t\t<Uzasadnienie2>',
    '\t\t\t<Osoba>Żak Tadeusz</Osoba>',
    '\t\t\t<Ocena>naganna</Ocena>',
    '\t\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t\t<Wiersz0>Wagary </Wiersz0>',
    '\t\t\t<Wiersz1> niszczenie mienia.</Wiersz1>',
    '\t\t</Uzasadnienie2>',
    '\t\t<Ilosc>2</Ilosc>',
    '\t</Obnizone>',
    '\t<Uwagi>',
    '\t\t<IloscWierszy>0</IloscWierszy>',
    '\t</Uwagi>',
], [
    '<b>Klasa:</b> IIa<br>',
    '<b>Wychowawca:</b> Nowak Jan<br>',
    '<b>Klasyfikowanych:</b> 5<br>',
    '<b>Uczniowie wzorowi, to:</b> Baran Kinga, Gołębiowska Iga.<br>',
    '<b>Oceny obniżone z zachowania:</b><br>',
    '<b>&nbsp;&nbsp;Uczniowie: </b> Czarnecki Olaf, Kruk Szymon.<br>',
    '<b>&nbsp;&nbsp;Ocena: </b> nieodpowiednia<br>',
    '<b>&nbsp;&nbsp;Uzasadnienie: </b> <br>',
    P3 + 'Częste spóźnienia na lekcje.<br>',
    P3 + ' <br>',
    P3 + 'Ocena &lt;obniżona&gt; po rozmowie z rodzicami.<br>',
    '<b>&nbsp;&nbsp;Uczeń: </b> Żak Tadeusz<br>',
    '<b>&nbsp;&nbsp;Ocena: </b> naganna<br>',
    '<b>&nbsp;&nbsp;Uzasadnienie: </b> <br>',
    P3 + 'Wagary <br>',
    P3 + ' niszczenie mienia.<br>',
])

# Topic 3: the class's educational programme; no successes.
case('realwych', {
    'topic': 3,
    'previewTitle': 'Realizacja programu wychowawczego klasy',
    'teacher': 'Wójcik Małgorzata',
    'className': 'IVc',
    'general': ['Program wychowawczy zrealizowano w całości.', '',
                'Tematy: bezpieczeństwo w sieci & zdrowe odżywianie; wycieczka <Kraków>.'],
    'successes': [],
    'documentFileName': 'RProgWych_IVc_Wójcik Małgorzata',
    'previewFile': 'RW.htm',
}, [
    '\t<Doc>Realizacja programu wychowawczego</Doc>',
    '\t<Klasa>IVc</Klasa>',
    '\t<Belfer>Wójcik Małgorzata</Belfer>',
    '\t<Ogolne>',
    '\t\t<IloscWierszy>3</IloscWierszy>',
    '\t\t<w0>Program wychowawczy zrealizowano w całości.</w0>',
    '\t\t<w1/>',
    '\t\t<w2>Tematy: bezpieczeństwo w sieci &amp; zdrowe odżywianie; wycieczka &lt;Kraków&gt;.</w2>',
    '\t</Ogolne>',
    '\t<Sukcesy>',
    '\t\t<IloscWierszy>0</IloscWierszy>',
    '\t</Sukcesy>',
], [
    '<b>Klasa:</b> IVc<br>',
    '<b>Nauczający:</b> Wójcik Małgorzata<br>',
    '<b>Informacje ogólne:</b><br>',
    'Program wychowawczy zrealizowano w całości.<br>',
    '<br>',
    'Tematy: bezpieczeństwo w sieci &amp; zdrowe odżywianie; wycieczka &lt;Kraków&gt;.<br>',
])

# Topic 4: a subject's curriculum, with successes; a "/" in the classes line.
case('realprogramu', {
    'topic': 4,
    'previewTitle': 'Realizacja programu z przedmiotu nauczania',
    'teacher': 'Kowalski Piotr',
    'subject': 'Matematyka',
    'classes': 'IIa, IIb/IIc',
    'general': ['Zrealizowano działy: funkcje & wykresy.',
                'Uczniowie z wynikiem < 30% otrzymali zajęcia wyrównawcze.'],
    'successes': ['Dwóch finalistów konkursu „Kangur”.'],
    'documentFileName': 'RProg_Matematyka_IIa, IIb-IIc_Kowalski Piotr',
    'previewFile': 'Wb.htm',
}, [
    '\t<Doc>Realizacja programu z przedmiotu nauczania</Doc>',
    '\t<Przedmiot>Matematyka</Przedmiot>',
    '\t<Belfer>Kowalski Piotr</Belfer>',
    '\t<Klasy>IIa, IIb/IIc</Klasy>',
    '\t<Ogolne>',
    '\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t<w0>Zrealizowano działy: funkcje &amp; wykresy.</w0>',
    '\t\t<w1>Uczniowie z wynikiem &lt; 30% otrzymali zajęcia wyrównawcze.</w1>',
    '\t</Ogolne>',
    '\t<Sukcesy>',
    '\t\t<IloscWierszy>1</IloscWierszy>',
    '\t\t<w0>Dwóch finalistów konkursu „Kangur”.</w0>',
    '\t</Sukcesy>',
], [
    '<b>Przedmiot nauczania:</b> Matematyka<br>',
    '<b>Nauczający:</b> Kowalski Piotr<br>',
    '<b>Klasy:</b> IIa, IIb/IIc<br>',
    '<b>Informacje ogólne:</b><br>',
    'Zrealizowano działy: funkcje &amp; wykresy.<br>',
    'Uczniowie z wynikiem &lt; 30% otrzymali zajęcia wyrównawcze.<br>',
    '&nbsp;<br>',
    '<b>Sukcesy, problemy i wnioski:</b><br>',
    'Dwóch finalistów konkursu „Kangur”.<br>',
])

# Topic 5: additional activities, numbered from the time (9:05:03 gives 953).
case('zajdodatkowe', {
    'topic': 5,
    'previewTitle': 'Realizacja zajęć dodatkowych',
    'teacher': 'Zielińska Ewa',
    'activity': 'Zespół korekcyjno-wyrównawczy w klasie VI <gr. 2>',
    'general': ['Zajęcia odbywały się raz w tygodniu.', 'Frekwencja & zaangażowanie: dobre.'],
    'documentFileName': 'ZajDod_953_Zielińska Ewa',
    'previewFile': 'Wb.htm',
}, [
    '\t<Doc>Realizacja dodatkowych</Doc>',
    '\t<Zajecia>Zespół korekcyjno-wyrównawczy w klasie VI &lt;gr. 2&gt;</Zajecia>',
    '\t<Belfer>Zielińska Ewa</Belfer>',
    '\t<Nr>953</Nr>',
    '\t<Ogolne>',
    '\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t<w0>Zajęcia odbywały się raz w tygodniu.</w0>',
    '\t\t<w1>Frekwencja &amp; zaangażowanie: dobre.</w1>',
    '\t</Ogolne>',
], [
    '<b>Prowadzone zajęcia: </b> Zespół korekcyjno-wyrównawczy w klasie VI &lt;gr. 2&gt;<br>',
    '<b>Nauczający:</b> Zielińska Ewa<br>',
    '<b>Informacje ogólne:</b><br>',
    'Zajęcia odbywały się raz w tygodniu.<br>',
    'Frekwencja &amp; zaangażowanie: dobre.<br>',
])

# Topic 6: failing-grade justifications; two pupils share a text, the first
# justified pupil is not the first row.
case('uzasadnienie', {
    'topic': 6,
    'previewTitle': 'Uzasadnienie oceny niedostatecznej',
    'teacher': 'Lewandowski Marek',
    'subject': 'Język angielski',
    'className': 'Ia & Ib',
    'pupils': [
        {'name': 'Adamski Kamil'},
        {'name': 'Borkowska Ola', 'failSubjects': 'Język angielski',
         'failJustification': ['Brak zaliczonych sprawdzianów <3 z 5>.', 'Liczne nieobecności.']},
        {'name': 'Dudek Filip', 'failSubjects': 'Język angielski',
         'failJustification': ['Brak zaliczonych sprawdzianów <3 z 5>.', 'Liczne nieobecności.']},
        {'name': 'Kaczmarek Julia', 'failSubjects': 'Język angielski',
         'failJustification': ['Nie opanowała podstawowego słownictwa.']},
    ],
    'documentFileName': 'UNdst_Język angielski_Ia & Ib_Lewandowski Marek',
    'previewFile': 'Ndst.htm',
}, [
    '\t<Doc>Uzasadnienie oceny niedostatecznej</Doc>',
    '\t<Przedmiot>Język angielski</Przedmiot>',
    '\t<Klasa>Ia &amp; Ib</Klasa>',
    '\t<Belfer>Lewandowski Marek</Belfer>',
    '\t<Uzasadnienia>',
    '\t\t<Uzasadnienie1>',
    '\t\t\t<Osoba>Borkowska Ola, Dudek Filip</Osoba>',
    '\t\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t\t<Wiersz0>Brak zaliczonych sprawdzianów &lt;3 z 5&gt;.</Wiersz0>',
    '\t\t\t<Wiersz1>Liczne nieobecności.</Wiersz1>',
    '\t\t</Uzasadnienie1>',
    '\t\t<Uzasadnienie2>',
    '\t\t\t<Osoba>Kaczmarek Julia</Osoba>',
    '\t\t\t<IloscWierszy>1</IloscWierszy>',
    '\t\t\t<Wiersz0>Nie opanowała podstawowego słownictwa.</Wiersz0>',
    '\t\t</Uzasadnienie2>',
    '\t\t<Ilosc>2</Ilosc>',
    '\t</Uzasadnienia>',
], [
    '<b>Przedmiot nauczania:</b> Język angielski<br>',
    '<b>Klasa:</b> Ia &amp; Ib<br>',
    '<b>Nauczający:</b> Lewandowski Marek<br>',
    '<b>Uzasadnienia:</b><br>',
    '&nbsp;<br>',
    '<b>&nbsp;&nbsp;Uczniowie: </b> Borkowska Ola, Dudek Filip<br>',
    P3 + 'Brak zaliczonych sprawdzianów &lt;3 z 5&gt;.<br>',
    P3 + 'Liczne nieobecności.<br>',
    '&nbsp;<br>',
    '<b>&nbsp;&nbsp;&nbsp;Uczeń: </b> Kaczmarek Julia<br>',
    P3 + 'Nie opanowała podstawowego słownictwa.<br>',
])

# Topic 7: the head teacher's report without supervision remarks.
case('dyrektor', {
    'topic': 7,
    'previewTitle': 'Sprawozdanie dyrektora szkoły',
    'teacher': 'Mazur Krystyna',
    'teaching': ['Szkoła realizowała program <Bezpieczna szkoła>.',
                 'Współpraca z rodzicami & samorządem była dobra.'],
    'supervision': [],
    'documentFileName': 'Dyrektor_Mazur Krystyna',
    'previewFile': 'Dyr.htm',
}, [
    '\t<Doc>Sprawozdanie dyrektora</Doc>',
    '\t<Belfer>Mazur Krystyna</Belfer>',
    '\t<Dydaktyczna>',
    '\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t<w0>Szkoła realizowała program &lt;Bezpieczna szkoła&gt;.</w0>',
    '\t\t<w1>Współpraca z rodzicami &amp; samorządem była dobra.</w1>',
    '\t</Dydaktyczna>',
    '\t<Nadzor>',
    '\t\t<IloscWierszy>0</IloscWierszy>',
    '\t</Nadzor>',
], [
    '<b>Dyrektor: </b> Mazur Krystyna<br>',
    '&nbsp;<br>',
    '<b>Działalność dydaktyczna, wychowawcza i opiekuńcza</b><br>',
    'Szkoła realizowała program &lt;Bezpieczna szkoła&gt;.<br>',
    'Współpraca z rodzicami &amp; samorządem była dobra.<br>',
])

# Topic 8: another report for the minutes.
case('inne', {
    'topic': 8,
    'previewTitle': 'Informacje o realizacji innych zadań',
    'teacher': 'Pawlak Tomasz',
    'concerns': 'Wycieczka klas I-III do Krakowa & Wieliczki',
    'info': ['Wycieczka odbyła się 12.05.', 'Koszt < 100 zł na ucznia.'],
    'documentFileName': 'InneInfo_953_Pawlak Tomasz',
    'previewFile': 'Inne.htm',
}, [
    '\t<Doc>Inne informacje</Doc>',
    '\t<Belfer>Pawlak Tomasz</Belfer>',
    '\t<Dotyczy>Wycieczka klas I-III do Krakowa &amp; Wieliczki</Dotyczy>',
    '\t<Nr>953</Nr>',
    '\t<Info>',
    '\t\t<IloscWierszy>2</IloscWierszy>',
    '\t\t<w0>Wycieczka odbyła się 12.05.</w0>',
    '\t\t<w1>Koszt &lt; 100 zł na ucznia.</w1>',
    '\t</Info>',
], [
    '<b>Dotyczy:</b> Wycieczka klas I-III do Krakowa &amp; Wieliczki<br>',
    '<b>Nauczyciel:</b> Pawlak Tomasz<br>',
    '<b>Informacja:</b><br>',
    'Wycieczka odbyła się 12.05.<br>',
    'Koszt &lt; 100 zł na ucznia.<br>',
])

# Topic 9: activities under the teachers' charter, with an empty line.
case('karta', {
    'topic': 9,
    'previewTitle': 'Sprawozdanie z zajęć wynikających z karty',
    'teacher': 'Szymańska Beata',
    'info': ['Zajęcia rozwijające: koło matematyczne <kl. 7-8>.', '',
             'Konsultacje dla uczniów & rodziców.'],
    'documentFileName': 'ZKarty_953_Szymańska Beata',
    'previewFile': 'ZKarty.htm',
}, [
    '\t<Doc>Z karty</Doc>',
    '\t<Belfer>Szymańska Beata</Belfer>',
    '\t<Nr>953</Nr>',
    '\t<Info>',
    '\t\t<IloscWierszy>3</IloscWierszy>',
    '\t\t<w0>Zajęcia rozwijające: koło matematyczne &lt;kl. 7-8&gt;.</w0>',
    '\t\t<w1/>',
    '\t\t<w2>Konsultacje dla uczniów &amp; rodziców.</w2>',
    '\t</Info>',
], [
    '<b>Nauczyciel:</b> Szymańska Beata<br>',
    '<b>Informacja:</b><br>',
    'Zajęcia rozwijające: koło matematyczne &lt;kl. 7-8&gt;.<br>',
    '<br>',
    'Konsultacje dla uczniów &amp; rodziców.<br>',
])
