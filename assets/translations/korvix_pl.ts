<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>CabReader</name>
    <message>
        <source>The next cabinet of the set is missing: %1</source>
        <translation>Brak następnego archiwum zestawu: %1</translation>
    </message>
    <message>
        <source>%1 does not continue the cabinet set</source>
        <translation>%1 nie jest dalszym ciągiem zestawu archiwów</translation>
    </message>
</context>
<context>
    <name>Clr</name>
    <message>
        <source>background</source>
        <translation>tło</translation>
    </message>
    <message>
        <source>built-up area (city)</source>
        <translation>obszar zabudowany (miasto)</translation>
    </message>
    <message>
        <source>water solid</source>
        <translation>woda (wypełnienie)</translation>
    </message>
    <message>
        <source>park</source>
        <translation>park</translation>
    </message>
    <message>
        <source>woodland</source>
        <translation>las</translation>
    </message>
    <message>
        <source>beach/dune/sand</source>
        <translation>plaża/wydma/piasek</translation>
    </message>
    <message>
        <source>industrial zone</source>
        <translation>strefa przemysłowa</translation>
    </message>
    <message>
        <source>harbor/marina</source>
        <translation>port/przystań</translation>
    </message>
    <message>
        <source>moor/heath</source>
        <translation>wrzosowisko</translation>
    </message>
    <message>
        <source>marsh</source>
        <translation>bagno</translation>
    </message>
    <message>
        <source>pedestrian zone</source>
        <translation>strefa dla pieszych</translation>
    </message>
    <message>
        <source>airport</source>
        <translation>lotnisko</translation>
    </message>
    <message>
        <source>runway</source>
        <translation>pas startowy</translation>
    </message>
    <message>
        <source>route background (&apos;below&apos; the road)</source>
        <translation>tło trasy („pod” drogą)</translation>
    </message>
    <message>
        <source>route foreground (on top of the road)</source>
        <translation>pierwszy plan trasy (na drodze)</translation>
    </message>
    <message>
        <source>blocked road (dotted on top of any road)</source>
        <translation>droga zablokowana (kropki na każdej drodze)</translation>
    </message>
    <message>
        <source>traffic jam (dotted on top of any road)</source>
        <translation>korek (kropki na każdej drodze)</translation>
    </message>
    <message>
        <source>highlighted / selected (line on top of any road)</source>
        <translation>wyróżniona / wybrana (linia na każdej drodze)</translation>
    </message>
    <message>
        <source>unreachable / not allowed to drive (dotted on top of any road)</source>
        <translation>nieosiągalna / zakaz wjazdu (kropki na każdej drodze)</translation>
    </message>
    <message>
        <source>motorway solid</source>
        <translation>autostrada (wypełnienie)</translation>
    </message>
    <message>
        <source>motorway edge</source>
        <translation>autostrada – krawędź</translation>
    </message>
    <message>
        <source>motorway inside</source>
        <translation>autostrada – wnętrze</translation>
    </message>
    <message>
        <source>motorway text</source>
        <translation>autostrada – tekst</translation>
    </message>
    <message>
        <source>major/international road solid</source>
        <translation>droga główna/międzynarodowa (wypełnienie)</translation>
    </message>
    <message>
        <source>major/international road edge</source>
        <translation>droga główna/międzynarodowa – krawędź</translation>
    </message>
    <message>
        <source>international road inside</source>
        <translation>droga międzynarodowa – wnętrze</translation>
    </message>
    <message>
        <source>major road inside</source>
        <translation>droga główna – wnętrze</translation>
    </message>
    <message>
        <source>major road text</source>
        <translation>droga główna – tekst</translation>
    </message>
    <message>
        <source>secondary road small</source>
        <translation>droga drugorzędna – wąska</translation>
    </message>
    <message>
        <source>secondary road solid</source>
        <translation>droga drugorzędna (wypełnienie)</translation>
    </message>
    <message>
        <source>secondary road edge</source>
        <translation>droga drugorzędna – krawędź</translation>
    </message>
    <message>
        <source>secondary road inside</source>
        <translation>droga drugorzędna – wnętrze</translation>
    </message>
    <message>
        <source>secondary road text</source>
        <translation>droga drugorzędna – tekst</translation>
    </message>
    <message>
        <source>connecting road small</source>
        <translation>droga łącząca – wąska</translation>
    </message>
    <message>
        <source>connecting road solid</source>
        <translation>droga łącząca (wypełnienie)</translation>
    </message>
    <message>
        <source>connecting road edge</source>
        <translation>droga łącząca – krawędź</translation>
    </message>
    <message>
        <source>connecting road inside</source>
        <translation>droga łącząca – wnętrze</translation>
    </message>
    <message>
        <source>connecting road text</source>
        <translation>droga łącząca – tekst</translation>
    </message>
    <message>
        <source>(major)local road small</source>
        <translation>(główna) droga lokalna – wąska</translation>
    </message>
    <message>
        <source>major local road solid</source>
        <translation>główna droga lokalna (wypełnienie)</translation>
    </message>
    <message>
        <source>local road solid</source>
        <translation>droga lokalna (wypełnienie)</translation>
    </message>
    <message>
        <source>local/destination road edge</source>
        <translation>droga lokalna/dojazdowa – krawędź</translation>
    </message>
    <message>
        <source>local/destination road inside</source>
        <translation>droga lokalna/dojazdowa – wnętrze</translation>
    </message>
    <message>
        <source>local road text</source>
        <translation>droga lokalna – tekst</translation>
    </message>
    <message>
        <source>destination road solid</source>
        <translation>droga dojazdowa (wypełnienie)</translation>
    </message>
    <message>
        <source>destination road text</source>
        <translation>droga dojazdowa – tekst</translation>
    </message>
    <message>
        <source>ferry background</source>
        <translation>prom – tło</translation>
    </message>
    <message>
        <source>ferry dots</source>
        <translation>prom – kropki</translation>
    </message>
    <message>
        <source>ferry text</source>
        <translation>prom – tekst</translation>
    </message>
    <message>
        <source>railroad dashed A</source>
        <translation>kolej – kreski A</translation>
    </message>
    <message>
        <source>railroad dashed B</source>
        <translation>kolej – kreski B</translation>
    </message>
    <message>
        <source>water edge outlines</source>
        <translation>woda – linia brzegu</translation>
    </message>
    <message>
        <source>borders (dot-dash)</source>
        <translation>granice (kropka-kreska)</translation>
    </message>
    <message>
        <source>arrows (road direction)</source>
        <translation>strzałki (kierunek ruchu)</translation>
    </message>
    <message>
        <source>arrows border (road direction)</source>
        <translation>obramowanie strzałek (kierunek ruchu)</translation>
    </message>
    <message>
        <source>Route indication arrow color, normal</source>
        <translation>Kolor strzałki trasy, zwykły</translation>
    </message>
    <message>
        <source>Route indication arrow color, highlighted</source>
        <translation>Kolor strzałki trasy, wyróżniony</translation>
    </message>
    <message>
        <source>Tollroad edge color</source>
        <translation>Droga płatna – kolor krawędzi</translation>
    </message>
    <message>
        <source>Tollroad inside color</source>
        <translation>Droga płatna – kolor wnętrza</translation>
    </message>
    <message>
        <source>NavView: status/safeview panel background (default:dark blue)</source>
        <translation>NavView: tło panelu stanu/safeview (domyślnie: ciemnoniebieskie)</translation>
    </message>
    <message>
        <source>NavView: status/safeview panel borders (default:blue)</source>
        <translation>NavView: obramowanie panelu stanu/safeview (domyślnie: niebieskie)</translation>
    </message>
    <message>
        <source>NavView: status/safeview panel text (default:white)</source>
        <translation>NavView: tekst panelu stanu/safeview (domyślnie: biały)</translation>
    </message>
    <message>
        <source>NavView: status/safeview panel dim text (default:lightblue)</source>
        <translation>NavView: przygaszony tekst panelu stanu/safeview (domyślnie: jasnoniebieski)</translation>
    </message>
    <message>
        <source>NavView: next highway background</source>
        <translation>NavView: następna autostrada – tło</translation>
    </message>
    <message>
        <source>NavView: next highway border</source>
        <translation>NavView: następna autostrada – obramowanie</translation>
    </message>
    <message>
        <source>NavView: next highway text</source>
        <translation>NavView: następna autostrada – tekst</translation>
    </message>
    <message>
        <source>NavView: next highway EXIT background</source>
        <translation>NavView: następna autostrada, ZJAZD – tło</translation>
    </message>
    <message>
        <source>NavView: next highway EXIT border</source>
        <translation>NavView: następna autostrada, ZJAZD – obramowanie</translation>
    </message>
    <message>
        <source>NavView: next highway EXIT text</source>
        <translation>NavView: następna autostrada, ZJAZD – tekst</translation>
    </message>
    <message>
        <source>NavView: routeplanning progressbar color</source>
        <translation>NavView: kolor paska postępu planowania trasy</translation>
    </message>
    <message>
        <source>Distant route color</source>
        <translation>Kolor odległej trasy</translation>
    </message>
    <message>
        <source>ERROR, System did not change palette, bitmap may be 24bit</source>
        <translation>BŁĄD, system nie zmienił palety, obraz może być 24-bitowy</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;</source>
        <translation>Nie można otworzyć pliku &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>ContentTree</name>
    <message>
        <source>QuickGPSFix</source>
        <translation>QuickGPSFix</translation>
    </message>
    <message>
        <source>POI</source>
        <translation>POI</translation>
    </message>
    <message>
        <source>Itinerary</source>
        <translation>Trasy</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Obrazy</translation>
    </message>
    <message>
        <source>Schemes</source>
        <translation>Schematy kolorów</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>Dźwięki</translation>
    </message>
    <message>
        <source>Voices</source>
        <translation>Głosy</translation>
    </message>
    <message>
        <source>Raster</source>
        <translation>Mapy rastrowe</translation>
    </message>
</context>
<context>
    <name>Coordinates</name>
    <message>
        <source>Row %1: %2</source>
        <translation>Wiersz %1: %2</translation>
    </message>
    <message>
        <source>Row %1: longitude &quot;%2&quot; is not a whole number of 1/100000 degrees</source>
        <translation>Wiersz %1: długość geograficzna „%2” nie jest liczbą całkowitą w 1/100000 stopnia</translation>
    </message>
    <message>
        <source>Row %1: latitude &quot;%2&quot; is not a whole number of 1/100000 degrees</source>
        <translation>Wiersz %1: szerokość geograficzna „%2” nie jest liczbą całkowitą w 1/100000 stopnia</translation>
    </message>
    <message>
        <source>Row %1: longitude &quot;%2&quot; is out of range</source>
        <translation>Wiersz %1: długość geograficzna „%2” jest poza zakresem</translation>
    </message>
    <message>
        <source>Row %1: latitude &quot;%2&quot; is out of range</source>
        <translation>Wiersz %1: szerokość geograficzna „%2” jest poza zakresem</translation>
    </message>
    <message>
        <source>The row has no latitude</source>
        <translation>Wiersz nie ma szerokości geograficznej</translation>
    </message>
    <message>
        <source>The row has no longitude</source>
        <translation>Wiersz nie ma długości geograficznej</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not yet in 1/100000 degrees: edit the cell to convert it</source>
        <translation>&quot;%1&quot; nie jest jeszcze w 1/100000 stopnia: edytuj komórkę, aby ją przeliczyć</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be read: %2</source>
        <translation>Nie można odczytać &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>the text is too long for a coordinate</source>
        <translation>tekst jest za długi jak na współrzędną</translation>
    </message>
    <message>
        <source>there is no number</source>
        <translation>brak liczby</translation>
    </message>
    <message>
        <source>the whole number is beyond the range of the list&apos;s units</source>
        <translation>liczba całkowita wykracza poza zakres jednostek listy</translation>
    </message>
    <message>
        <source>there is more than one hemisphere letter</source>
        <translation>jest więcej niż jedna litera półkuli</translation>
    </message>
    <message>
        <source>a sign and a hemisphere letter cannot go together</source>
        <translation>znak i litera półkuli nie mogą wystąpić razem</translation>
    </message>
    <message>
        <source>%1 marks a latitude, not a longitude</source>
        <translation>%1 oznacza szerokość, nie długość geograficzną</translation>
    </message>
    <message>
        <source>%1 marks a longitude, not a latitude</source>
        <translation>%1 oznacza długość, nie szerokość geograficzną</translation>
    </message>
    <message>
        <source>a hemisphere letter belongs at the start or at the end</source>
        <translation>litera półkuli może stać tylko na początku lub na końcu</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no part of a coordinate</source>
        <translation>&quot;%1&quot; nie jest częścią współrzędnej</translation>
    </message>
    <message>
        <source>there are more numbers than degrees, minutes and seconds</source>
        <translation>liczb jest więcej niż stopni, minut i sekund</translation>
    </message>
    <message>
        <source>a decimal separator needs digits after it</source>
        <translation>po separatorze dziesiętnym muszą być cyfry</translation>
    </message>
    <message>
        <source>degrees, minutes and seconds are out of order</source>
        <translation>stopnie, minuty i sekundy są w złej kolejności</translation>
    </message>
    <message>
        <source>only the last number may have decimals</source>
        <translation>tylko ostatnia liczba może mieć część dziesiętną</translation>
    </message>
    <message>
        <source>a latitude lies within 90°</source>
        <translation>szerokość geograficzna mieści się w 90°</translation>
    </message>
    <message>
        <source>a longitude lies within 180°</source>
        <translation>długość geograficzna mieści się w 180°</translation>
    </message>
    <message>
        <source>minutes and seconds must be below 60</source>
        <translation>minuty i sekundy muszą być mniejsze niż 60</translation>
    </message>
    <message>
        <source>the text is not two coordinates</source>
        <translation>tekst nie zawiera dwóch współrzędnych</translation>
    </message>
    <message>
        <source>both coordinates are latitudes</source>
        <translation>obie współrzędne są szerokościami</translation>
    </message>
    <message>
        <source>both coordinates are longitudes</source>
        <translation>obie współrzędne są długościami</translation>
    </message>
    <message>
        <source>latitude: %1</source>
        <translation>szerokość: %1</translation>
    </message>
    <message>
        <source>longitude: %1</source>
        <translation>długość: %1</translation>
    </message>
</context>
<context>
    <name>DeviceEject</name>
    <message>
        <source>UDisks2 does not know the volume mounted at %1</source>
        <translation>UDisks2 nie zna woluminu zamontowanego w %1</translation>
    </message>
</context>
<context>
    <name>EditorDialogs</name>
    <message>
        <source>Duplicates</source>
        <translation>Duplikaty</translation>
    </message>
    <message>
        <source>Largest distance between duplicates (m):</source>
        <translation>Największa odległość między duplikatami (m):</translation>
    </message>
</context>
<context>
    <name>Feeds</name>
    <message>
        <source>No answer for %1 s</source>
        <translation>Brak odpowiedzi od %1 s</translation>
    </message>
    <message>
        <source>Not a web address: %1</source>
        <translation>To nie jest adres internetowy: %1</translation>
    </message>
    <message>
        <source>HTTP error %1</source>
        <translation>Błąd HTTP %1</translation>
    </message>
    <message>
        <source>The answer is not an XML document that can be read</source>
        <translation>Odpowiedź nie jest czytelnym dokumentem XML</translation>
    </message>
    <message>
        <source>The answer is larger than 32 MB</source>
        <translation>Odpowiedź jest większa niż 32 MB</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>&apos;%1&apos; nie jest poprawną liczbą zmiennoprzecinkową</translation>
    </message>
    <message>
        <source>The answer is not an XML document that can be read: %1</source>
        <translation>Odpowiedź nie jest czytelnym dokumentem XML: %1</translation>
    </message>
</context>
<context>
    <name>FileReader</name>
    <message>
        <source>Not a regular file: %1</source>
        <translation>To nie jest zwykły plik: %1</translation>
    </message>
    <message>
        <source>The file is too large: %1</source>
        <translation>Plik jest za duży: %1</translation>
    </message>
</context>
<context>
    <name>Gpx</name>
    <message>
        <source>The latitude %1 of &quot;%2&quot; lies beyond the poles</source>
        <translation>Szerokość geograficzna %1 punktu &quot;%2&quot; wykracza poza bieguny</translation>
    </message>
    <message>
        <source>Invalid GPX file, line %1: %2</source>
        <translation>Nieprawidłowy plik GPX, wiersz %1: %2</translation>
    </message>
    <message>
        <source>entity declarations are not accepted</source>
        <translation>deklaracje encji nie są przyjmowane</translation>
    </message>
    <message>
        <source>the elements nest too deeply</source>
        <translation>elementy są zagnieżdżone zbyt głęboko</translation>
    </message>
    <message>
        <source>the root element is not gpx</source>
        <translation>element główny nie jest elementem gpx</translation>
    </message>
    <message>
        <source>a point without a valid latitude and longitude</source>
        <translation>punkt bez poprawnej szerokości i długości geograficznej</translation>
    </message>
    <message>
        <source>Invalid GPX file</source>
        <translation>Nieprawidłowy plik GPX</translation>
    </message>
    <message>
        <source>The file is too large</source>
        <translation>Plik jest za duży</translation>
    </message>
    <message>
        <source>The GPX file holds no points</source>
        <translation>Plik GPX nie zawiera punktów</translation>
    </message>
</context>
<context>
    <name>GpxExchange</name>
    <message>
        <source>The track has %1 points. How many should the itinerary keep?</source>
        <translation>Ślad ma %1 punktów. Ile z nich zachować w planie podróży?</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>GPX...</source>
        <translation>GPX...</translation>
    </message>
    <message>
        <source>GPX files (*.gpx)</source>
        <translation>Pliki GPX (*.gpx)</translation>
    </message>
    <message>
        <source>KML...</source>
        <translation>KML...</translation>
    </message>
    <message>
        <source>KML files (*.kml)</source>
        <translation>Pliki KML (*.kml)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
</context>
<context>
    <name>HexExport</name>
    <message>
        <source>Any file (*)</source>
        <translation>Dowolny plik (*)</translation>
    </message>
    <message>
        <source>Any File (*)</source>
        <translation>Dowolny plik (*)</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;: %2</source>
        <translation>Nie można utworzyć pliku &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;: %2</source>
        <translation>Nie można otworzyć pliku &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;: it is the chosen file itself</source>
        <translation>Nie można utworzyć pliku &quot;%1&quot;: to jest sam wybrany plik</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;: %2</source>
        <translation>Nie można odczytać pliku &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>ImgFile</name>
    <message>
        <source>the picture</source>
        <translation>obrazu</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: not a picture format Korvix knows.</source>
        <translation>Nie można odczytać %1: Korvix nie zna tego formatu obrazu.</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: the bitmap header is broken.</source>
        <translation>Nie można odczytać %1: nagłówek bitmapy jest uszkodzony.</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: the picture is too large (%2 x %3).</source>
        <translation>Nie można odczytać %1: obraz jest za duży (%2 x %3).</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: %2</source>
        <translation>Nie można odczytać %1: %2</translation>
    </message>
    <message>
        <source>Can&apos;t open %1: %2</source>
        <translation>Nie można otworzyć %1: %2</translation>
    </message>
    <message>
        <source>The picture is empty.</source>
        <translation>Obraz jest pusty.</translation>
    </message>
    <message>
        <source>Can&apos;t write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
</context>
<context>
    <name>Itn</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Nie można otworzyć pliku „%1”. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Nie można utworzyć pliku „%1”. %2</translation>
    </message>
    <message>
        <source>SaveItnSplit</source>
        <translation>SaveItnSplit</translation>
    </message>
    <message>
        <source>SaveItn</source>
        <translation>SaveItn</translation>
    </message>
    <message>
        <source>Cannot save the itinerary. %1</source>
        <translation>Nie można zapisać trasy. %1</translation>
    </message>
    <message>
        <source>Invalid Kml file</source>
        <translation>Nieprawidłowy plik Kml</translation>
    </message>
    <message>
        <source>The link leads to another host: %1</source>
        <translation>Link prowadzi do innego serwera: %1</translation>
    </message>
    <message>
        <source>The answer of %1 is too large</source>
        <translation>Odpowiedź serwera %1 jest za duża</translation>
    </message>
    <message>
        <source>HTTP error %1</source>
        <translation>Błąd HTTP %1</translation>
    </message>
    <message>
        <source>Pobierz link z GoogleMaps do schowka (Ctrl+C)</source>
        <translation>Pobierz link z GoogleMaps do schowka (Ctrl+C)</translation>
    </message>
</context>
<context>
    <name>LayerFeeds</name>
    <message>
        <source>The answer is not XML: %1 (line %2, column %3)</source>
        <translation>Odpowiedź nie jest w XML: %1 (wiersz %2, kolumna %3)</translation>
    </message>
    <message>
        <source>The answer is not XML: %1</source>
        <translation>Odpowiedź nie jest w formacie XML: %1</translation>
    </message>
    <message>
        <source>Markers skipped for a missing attribute: %1</source>
        <translation>Pominięte znaczniki bez potrzebnego atrybutu: %1</translation>
    </message>
</context>
<context>
    <name>LayerRoads</name>
    <message>
        <source>The SVG map can&apos;t be read: %1 (line %2, column %3)</source>
        <translation>Nie można odczytać mapy SVG: %1 (wiersz %2, kolumna %3)</translation>
    </message>
    <message>
        <source>Drawing the road network</source>
        <translation>Rysowanie sieci dróg</translation>
    </message>
    <message>
        <source>The SVG map can&apos;t be read: %1</source>
        <translation>Nie można odczytać mapy SVG: %1</translation>
    </message>
</context>
<context>
    <name>Ov2</name>
    <message>
        <source>Record runs past the end of the file: %1 : %2(%3)</source>
        <translation>Rekord wykracza poza koniec pliku: %1 : %2(%3)</translation>
    </message>
    <message>
        <source>Block starts outside the file</source>
        <translation>Blok zaczyna się poza plikiem</translation>
    </message>
    <message>
        <source>Too many decoded texts in one file</source>
        <translation>Zbyt wiele zdekodowanych tekstów w jednym pliku</translation>
    </message>
    <message>
        <source>Can&apos;t open OV2 file</source>
        <translation>Nie można otworzyć pliku OV2</translation>
    </message>
    <message>
        <source>Analizing...</source>
        <translation>Analizowanie...</translation>
    </message>
    <message>
        <source>Reading...</source>
        <translation>Odczytywanie...</translation>
    </message>
    <message>
        <source>There is no POI to save</source>
        <translation>Brak POI do zapisania</translation>
    </message>
    <message>
        <source>Too many POIs for one file</source>
        <translation>Zbyt wiele POI jak na jeden plik</translation>
    </message>
    <message>
        <source>Save POI file</source>
        <translation>Zapisywanie pliku POI</translation>
    </message>
    <message>
        <source>Calculating main skipper record</source>
        <translation>Obliczanie głównego rekordu pomijania</translation>
    </message>
    <message>
        <source>The POI file would exceed 2 GB</source>
        <translation>Plik POI przekroczyłby 2 GB</translation>
    </message>
    <message>
        <source>Writing [%1,%2,%3,%4]</source>
        <translation>Zapisywanie [%1,%2,%3,%4]</translation>
    </message>
</context>
<context>
    <name>PoiDat</name>
    <message>
        <source>Can&apos;t open %1</source>
        <translation>Nie można otworzyć %1</translation>
    </message>
    <message>
        <source>The POI database is too short</source>
        <translation>Baza POI jest za krótka</translation>
    </message>
    <message>
        <source>The category table runs past the end of the file</source>
        <translation>Tabela kategorii wykracza poza koniec pliku</translation>
    </message>
    <message>
        <source>Bad number of categories: %1</source>
        <translation>Nieprawidłowa liczba kategorii: %1</translation>
    </message>
    <message>
        <source>Block %1 has a negative size</source>
        <translation>Blok %1 ma ujemny rozmiar</translation>
    </message>
    <message>
        <source>Block %1 starts at a negative offset</source>
        <translation>Blok %1 zaczyna się od ujemnego przesunięcia</translation>
    </message>
    <message>
        <source>Block %1 ends before it starts</source>
        <translation>Blok %1 kończy się przed swoim początkiem</translation>
    </message>
    <message>
        <source>Block %1 runs past the end of the file</source>
        <translation>Blok %1 wykracza poza koniec pliku</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>TT Itinerary (*.itn)</source>
        <translation>Trasa TT (*.itn)</translation>
    </message>
    <message>
        <source>TT Overlay (*.ov2)</source>
        <translation>Nakładka TT (*.ov2)</translation>
    </message>
    <message>
        <source>Only one voice can be edited at a time: close %1 first.</source>
        <translation>Naraz można edytować tylko jeden głos: najpierw zamknij %1.</translation>
    </message>
    <message>
        <source>TT Voices (*.chk)</source>
        <translation>Głosy TT (*.chk)</translation>
    </message>
    <message>
        <source>TT Scheme (*.clr)</source>
        <translation>Schemat TT (*.clr)</translation>
    </message>
    <message>
        <source>OGG (*.ogg);;Wave (*.wav)</source>
        <translation>OGG (*.ogg);;Wave (*.wav)</translation>
    </message>
</context>
<context>
    <name>QuickGpsFix</name>
    <message>
        <source>Can&apos;t write %1</source>
        <translation>Nie można zapisać %1</translation>
    </message>
    <message>
        <source>No answer from %1</source>
        <translation>Brak odpowiedzi od %1</translation>
    </message>
    <message>
        <source>Not a cabinet: %1</source>
        <translation>To nie jest archiwum cab: %1</translation>
    </message>
</context>
<context>
    <name>RasterCapture</name>
    <message>
        <source>Can&apos;t make the picture %1</source>
        <translation>Nie można utworzyć obrazu %1</translation>
    </message>
</context>
<context>
    <name>RasterLayer</name>
    <message>
        <source>The first line is empty: %1</source>
        <translation>Pierwszy wiersz jest pusty: %1</translation>
    </message>
    <message>
        <source>The picture %1 is not in the folder of the overlay %2</source>
        <translation>Obraz %1 nie leży w folderze nakładki %2</translation>
    </message>
    <message>
        <source>Image file name:</source>
        <translation>Nazwa pliku obrazu:</translation>
    </message>
    <message>
        <source>Top:</source>
        <translation>Góra:</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Lewo:</translation>
    </message>
    <message>
        <source>Bottom:</source>
        <translation>Dół:</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Prawo:</translation>
    </message>
    <message>
        <source>Minimum zoom level:</source>
        <translation>Minimalny poziom powiększenia:</translation>
    </message>
    <message>
        <source>Maximum zoom level:</source>
        <translation>Maksymalny poziom powiększenia:</translation>
    </message>
    <message>
        <source>Width in pixels:</source>
        <translation>Szerokość w pikselach:</translation>
    </message>
    <message>
        <source>Height in pixels:</source>
        <translation>Wysokość w pikselach:</translation>
    </message>
</context>
<context>
    <name>RasterPage</name>
    <message>
        <source>Find &amp; Show</source>
        <translation>Znajdź i pokaż</translation>
    </message>
    <message>
        <source> not found!</source>
        <translation> nie znaleziono!</translation>
    </message>
    <message>
        <source>Get Image</source>
        <translation>Pobierz obraz</translation>
    </message>
    <message>
        <source>MENU</source>
        <translation>MENU</translation>
    </message>
    <message>
        <source>Satellite View</source>
        <translation>Widok satelitarny</translation>
    </message>
    <message>
        <source>Normal View</source>
        <translation>Widok zwykły</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>not a recovery file</source>
        <translation>to nie jest plik odzyskiwania</translation>
    </message>
    <message>
        <source>a recovery file of another version</source>
        <translation>plik odzyskiwania innej wersji</translation>
    </message>
    <message>
        <source>unknown kind of list</source>
        <translation>nieznany rodzaj listy</translation>
    </message>
    <message>
        <source>the file is cut short or damaged</source>
        <translation>plik jest ucięty lub uszkodzony</translation>
    </message>
</context>
<context>
    <name>RestoreSetReader</name>
    <message>
        <source>Can&apos;t read cabinets</source>
        <translation>Nie można czytać archiwów</translation>
    </message>
    <message>
        <source>Not a readable backup: %1</source>
        <translation>To nie jest czytelna kopia: %1</translation>
    </message>
    <message>
        <source>A cabinet of the backup is missing: %1</source>
        <translation>Brak archiwum kopii: %1</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>Can&apos;t write the sound file %1: %2</source>
        <translation>Nie można zapisać pliku dźwiękowego %1: %2</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>About Korvix</source>
        <translation>O programie Korvix</translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Wersja: </translation>
    </message>
    <message>
        <source>Korvix is free to use and to pass on. It comes without any warranty: keep a backup of your device before you change it.</source>
        <translation>Korvix można bezpłatnie używać i przekazywać dalej. Program nie jest objęty żadną gwarancją: zanim wprowadzisz zmiany w urządzeniu, zrób jego kopię zapasową.</translation>
    </message>
</context>
<context>
    <name>TAudioPlayer</name>
    <message>
        <source>The sound output device cannot be opened</source>
        <translation>Nie można otworzyć urządzenia wyjściowego dźwięku</translation>
    </message>
    <message>
        <source>The sound output device failed while playing</source>
        <translation>Urządzenie wyjściowe dźwięku uległo awarii podczas odtwarzania</translation>
    </message>
    <message>
        <source>The sound output device is no longer available</source>
        <translation>Urządzenie wyjściowe dźwięku nie jest już dostępne</translation>
    </message>
    <message>
        <source>The sound cannot be played: %1</source>
        <translation>Nie można odtworzyć dźwięku: %1</translation>
    </message>
    <message>
        <source>No sound output device is available</source>
        <translation>Brak dostępnego urządzenia wyjściowego dźwięku</translation>
    </message>
    <message>
        <source>The sound output device cannot play %1</source>
        <translation>Urządzenie wyjściowe dźwięku nie może odtworzyć formatu %1</translation>
    </message>
</context>
<context>
    <name>TBackup</name>
    <message>
        <source>The backup could not be read back, it was removed: %1</source>
        <translation>Nie można odczytać kopii, została usunięta: %1</translation>
    </message>
    <message>
        <source>Verifying...</source>
        <translation>Sprawdzanie...</translation>
    </message>
    <message>
        <source>The backup does not match the device, it was removed: %1</source>
        <translation>Kopia nie zgadza się z urządzeniem, została usunięta: %1</translation>
    </message>
    <message>
        <source>Compressing...</source>
        <translation>Kompresja...</translation>
    </message>
</context>
<context>
    <name>TBackupResult</name>
    <message>
        <source>Backup verified: %1 files, %2 MB in %3 cabinets</source>
        <translation>Kopia sprawdzona: %1 plików, %2 MB w %3 archiwach</translation>
    </message>
    <message>
        <source>Too large for one cabinet folder, stored in numbered parts: %1</source>
        <translation>Za duże na jeden folder archiwum, zapisane w numerowanych częściach: %1</translation>
    </message>
    <message>
        <source>Not backed up, not regular files (links are not followed): %1</source>
        <translation>Bez kopii, to nie są zwykłe pliki (dowiązania są pomijane): %1</translation>
    </message>
    <message>
        <source>Not backed up, names too long for a cabinet: %1</source>
        <translation>Bez kopii, nazwy za długie dla archiwum: %1</translation>
    </message>
</context>
<context>
    <name>TBackupRunner</name>
    <message>
        <source>Korvix backup (*.bak)</source>
        <translation>Kopia Korvix (*.bak)</translation>
    </message>
    <message>
        <source>A backup is running already.</source>
        <translation>Kopia zapasowa już trwa.</translation>
    </message>
    <message>
        <source>BackUp - Initialization...</source>
        <translation>Kopia zapasowa - przygotowanie...</translation>
    </message>
    <message>
        <source>%1 is being backed up: save again when the backup has ended.</source>
        <translation>Trwa kopia zapasowa %1: zapisz ponownie, gdy się zakończy.</translation>
    </message>
    <message>
        <source>Cancel backup</source>
        <translation>Przerwij kopię</translation>
    </message>
    <message>
        <source>Backup cancelled</source>
        <translation>Kopia przerwana</translation>
    </message>
    <message>
        <source>Backup restore</source>
        <translation>Odtwarzanie kopii</translation>
    </message>
</context>
<context>
    <name>TCABFile</name>
    <message>
        <source>Name leads outside the target folder, not unpacked: %1</source>
        <translation>Nazwa prowadzi poza folder docelowy, nie rozpakowano: %1</translation>
    </message>
    <message>
        <source>Can&apos;t create the folder of %1</source>
        <translation>Nie można utworzyć folderu dla %1</translation>
    </message>
    <message>
        <source>Can&apos;t unpack %1</source>
        <translation>Nie można rozpakować %1</translation>
    </message>
    <message>
        <source>No error</source>
        <translation>Brak błędu</translation>
    </message>
    <message>
        <source>Failure opening file to be stored in cabinet</source>
        <translation>Nie można otworzyć pliku do zapisania w archiwum CAB</translation>
    </message>
    <message>
        <source>Failure reading file to be stored in cabinet</source>
        <translation>Nie można odczytać pliku do zapisania w archiwum CAB</translation>
    </message>
    <message>
        <source>Insufficient memory in FCI</source>
        <translation>Za mało pamięci w FCI</translation>
    </message>
    <message>
        <source>Could not create a temporary file</source>
        <translation>Nie można utworzyć pliku tymczasowego</translation>
    </message>
    <message>
        <source>Unknown compression type</source>
        <translation>Nieznany rodzaj kompresji</translation>
    </message>
    <message>
        <source>Could not create cabinet file</source>
        <translation>Nie można utworzyć pliku archiwum CAB</translation>
    </message>
    <message>
        <source>Client requested abort</source>
        <translation>Przerwano na żądanie</translation>
    </message>
    <message>
        <source>Failure compressing data</source>
        <translation>Błąd kompresji danych</translation>
    </message>
    <message>
        <source>File too large for one cabinet folder</source>
        <translation>Plik jest za duży dla jednego folderu archiwum CAB</translation>
    </message>
    <message>
        <source>The archive is larger than one cabinet may be</source>
        <translation>Archiwum jest większe, niż może być jeden plik CAB</translation>
    </message>
    <message>
        <source>There are no files to put into the cabinet</source>
        <translation>Brak plików do umieszczenia w archiwum CAB</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Nieznany błąd</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Przerwano</translation>
    </message>
    <message>
        <source>Can&apos;t write %1</source>
        <translation>Nie można zapisać %1</translation>
    </message>
    <message>
        <source>The name is too long for a cabinet (255 bytes at most)</source>
        <translation>Nazwa jest za długa dla archiwum (najwyżej 255 bajtów)</translation>
    </message>
</context>
<context>
    <name>TEjectAction</name>
    <message>
        <source>Eject</source>
        <translation>Wysuń</translation>
    </message>
    <message>
        <source>No device to eject.</source>
        <translation>Brak urządzenia do wysunięcia.</translation>
    </message>
    <message>
        <source>A backup of %1 is running. Cancel it and eject?</source>
        <translation>Trwa kopia zapasowa %1. Przerwać ją i wysunąć urządzenie?</translation>
    </message>
    <message>
        <source>%1 is being ejected.</source>
        <translation>%1 jest właśnie wysuwane.</translation>
    </message>
    <message>
        <source>Writing everything to %1…</source>
        <translation>Zapisywanie wszystkiego na %1…</translation>
    </message>
    <message>
        <source>%1 can be removed now.</source>
        <translation>%1 można teraz odłączyć.</translation>
    </message>
    <message>
        <source>It was not switched off: %1</source>
        <translation>Nie zostało wyłączone: %1</translation>
    </message>
    <message>
        <source>Everything is written to %1; it can be removed after you unmount it.</source>
        <translation>Wszystko zostało zapisane na %1; można je odłączyć po odmontowaniu.</translation>
    </message>
    <message>
        <source>Everything is written to %1.</source>
        <translation>Wszystko zostało zapisane na %1.</translation>
    </message>
    <message>
        <source>Everything is written to %1, but it could not be unmounted: %2</source>
        <translation>Wszystko zostało zapisane na %1, ale nie udało się go odmontować: %2</translation>
    </message>
    <message>
        <source>Not everything could be written to %1: %2</source>
        <translation>Nie wszystko udało się zapisać na %1: %2</translation>
    </message>
</context>
<context>
    <name>TFindDialog</name>
    <message>
        <source>Find</source>
        <translation>Znajdź</translation>
    </message>
    <message>
        <source>Find what:</source>
        <translation>Znajdź:</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Uwzględniaj wielkość liter</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Kierunek</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>W górę</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>W dół</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Znajdź następny</translation>
    </message>
</context>
<context>
    <name>TGMaps</name>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Save View</source>
        <translation>Zapisz widok</translation>
    </message>
    <message>
        <source>Route</source>
        <translation>Trasa</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Pokaż</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>StartAtHome</source>
        <translation>StartZDomu</translation>
    </message>
    <message>
        <source>Walking</source>
        <translation>Pieszo</translation>
    </message>
    <message>
        <source>AvoidHigways</source>
        <translation>OmijajAutostrady</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Extra</source>
        <translation>Dodatki</translation>
    </message>
    <message>
        <source>Panoramio</source>
        <translation>Panoramio</translation>
    </message>
    <message>
        <source>Wikipedia</source>
        <translation>Wikipedia</translation>
    </message>
    <message>
        <source>Traffic</source>
        <translation>Ruch drogowy</translation>
    </message>
    <message>
        <source>YouTube</source>
        <translation>YouTube</translation>
    </message>
    <message>
        <source>WebCam</source>
        <translation>Kamery</translation>
    </message>
    <message>
        <source>You are offline</source>
        <translation>Jesteś offline</translation>
    </message>
    <message>
        <source>Str00</source>
        <translation>Str00</translation>
    </message>
    <message>
        <source>AddPOI</source>
        <translation>DodajPOI</translation>
    </message>
    <message>
        <source>AddToRoute</source>
        <translation>DodajDoTrasy</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Środek</translation>
    </message>
    <message>
        <source>SaveAsHome</source>
        <translation>ZapiszJakoDom</translation>
    </message>
    <message>
        <source>SaveView</source>
        <translation>ZapiszWidok</translation>
    </message>
    <message>
        <source>ShowRoute</source>
        <translation>PokażTrasę</translation>
    </message>
    <message>
        <source>RemoveRoute</source>
        <translation>UsuńTrasę</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ukryj</translation>
    </message>
    <message>
        <source>Traffic </source>
        <translation>Ruch drogowy </translation>
    </message>
    <message>
        <source>SaveRoute</source>
        <translation>ZapiszTrasę</translation>
    </message>
    <message>
        <source>RemoveWP</source>
        <translation>UsuńPunkt</translation>
    </message>
    <message>
        <source>SavePOI</source>
        <translation>ZapiszPOI</translation>
    </message>
    <message>
        <source>RemovePOI</source>
        <translation>UsuńPOI</translation>
    </message>
    <message>
        <source>Nothing to show</source>
        <translation>Nic do pokazania</translation>
    </message>
    <message>
        <source>ReverseRoute</source>
        <translation>OdwróćTrasę</translation>
    </message>
    <message>
        <source>Str20</source>
        <translation>Str20</translation>
    </message>
    <message>
        <source>END</source>
        <translation>KONIEC</translation>
    </message>
    <message>
        <source>START</source>
        <translation>START</translation>
    </message>
    <message>
        <source>Sorry, the Google Maps API is not compatible try to get UpToDate version of the application</source>
        <translation>Niestety, interfejs map nie jest zgodny, pobierz aktualną wersję programu</translation>
    </message>
    <message>
        <source>No corresponding geographic location could be found for one of the specified addresses. This may be due to the fact that the address is relatively new, or it may be incorrect.
Error code: </source>
        <translation>Nie znaleziono położenia geograficznego dla jednego z podanych adresów. Adres może być nowy albo błędny.
Kod błędu: </translation>
    </message>
    <message>
        <source>A geocoding or directions request could not be successfully processed, yet the exact reason for the failure is not known.
 Error code: </source>
        <translation>Nie udało się przetworzyć zapytania o adres lub trasę, a dokładna przyczyna nie jest znana.
 Kod błędu: </translation>
    </message>
    <message>
        <source>The HTTP q parameter was either missing or had no value. For geocoder requests, this means that an empty address was specified as input. For directions requests, this means that no query was specified in the input.
 Error code: </source>
        <translation>Brak parametru q zapytania HTTP albo jest on pusty. W zapytaniu o adres oznacza to pusty adres, w zapytaniu o trasę brak zapytania.
 Kod błędu: </translation>
    </message>
    <message>
        <source>The given key is either invalid or does not match the domain for which it was given. 
 Error code: </source>
        <translation>Podany klucz jest nieprawidłowy albo nie pasuje do domeny, dla której go wydano. 
 Kod błędu: </translation>
    </message>
    <message>
        <source>A directions request could not be successfully parsed.
 Error code: </source>
        <translation>Nie udało się odczytać zapytania o trasę.
 Kod błędu: </translation>
    </message>
    <message>
        <source>An unknown error occurred.</source>
        <translation>Wystąpił nieznany błąd.</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Powiększ</translation>
    </message>
    <message>
        <source>PanTo</source>
        <translation>Przesuń</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Mapa</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satelita</translation>
    </message>
    <message>
        <source>Hybrid</source>
        <translation>Hybryda</translation>
    </message>
    <message>
        <source>Physical</source>
        <translation>Ukształtowanie terenu</translation>
    </message>
    <message>
        <source>Terrain</source>
        <translation>Teren</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Informacje</translation>
    </message>
    <message>
        <source>SetMarkerHere</source>
        <translation>UstawZnacznikTutaj</translation>
    </message>
    <message>
        <source>The map server %1 does not answer: no background</source>
        <translation>Serwer mapy %1 nie odpowiada: brak podkładu</translation>
    </message>
    <message>
        <source>The search service does not answer</source>
        <translation>Usługa wyszukiwania nie odpowiada</translation>
    </message>
    <message>
        <source>No source is set for this layer: fill in the setting %1</source>
        <translation>Ta warstwa nie ma źródła: uzupełnij ustawienie %1</translation>
    </message>
</context>
<context>
    <name>TIconEdit</name>
    <message>
        <source>Custom...</source>
        <translation>Własny...</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Ikona</translation>
    </message>
    <message>
        <source>Left mouse button</source>
        <translation>Lewy przycisk myszy</translation>
    </message>
    <message>
        <source>Right mouse button</source>
        <translation>Prawy przycisk myszy</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importuj</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation>Obrazy (%1)</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Czarny</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Kasztanowy</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Zielony</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Oliwkowy</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Granatowy</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Purpurowy</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Morski</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Szary</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Srebrny</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Czerwony</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Limonkowy</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Żółty</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Niebieski</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuksja</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Turkusowy</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Biały</translation>
    </message>
    <message>
        <source>Money Green</source>
        <translation>Zieleń pieniędzy</translation>
    </message>
    <message>
        <source>Sky Blue</source>
        <translation>Błękitny</translation>
    </message>
    <message>
        <source>Cream</source>
        <translation>Kremowy</translation>
    </message>
    <message>
        <source>Medium Gray</source>
        <translation>Średnioszary</translation>
    </message>
</context>
<context>
    <name>TImg</name>
    <message>
        <source>Pictures (%1)</source>
        <translation>Obrazy (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Bitmap</source>
        <translation>Bitmapa</translation>
    </message>
    <message>
        <source>Import from file</source>
        <translation>Importuj z pliku</translation>
    </message>
    <message>
        <source>Paste from clipboard</source>
        <translation>Wklej ze schowka</translation>
    </message>
    <message>
        <source>Copy to clipboard</source>
        <translation>Kopiuj do schowka</translation>
    </message>
    <message>
        <source>The clipboard holds no picture.</source>
        <translation>Schowek nie zawiera obrazu.</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Obrazy</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy zapisać zmiany?</translation>
    </message>
</context>
<context>
    <name>TImgDlg</name>
    <message>
        <source>Save as...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source> StartUp</source>
        <translation> Ekran startowy</translation>
    </message>
    <message>
        <source>ShutDown</source>
        <translation>Ekran zamykania</translation>
    </message>
</context>
<context>
    <name>TItnEdit</name>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>Odwróć</translation>
    </message>
    <message>
        <source>SaveAsCurrent</source>
        <translation>Zapisz jako bieżącą</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importuj</translation>
    </message>
    <message>
        <source>Targeo *.atm</source>
        <translation>Targeo *.atm</translation>
    </message>
    <message>
        <source>GoogleMaps</source>
        <translation>GoogleMaps</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Kml</source>
        <translation>Kml</translation>
    </message>
    <message>
        <source>TomTom obsługuje tylko 48 punktów trasy</source>
        <translation>TomTom obsługuje tylko 48 punktów trasy</translation>
    </message>
    <message>
        <source>Podzielić na mniejsze pliki ?</source>
        <translation>Podzielić na mniejsze pliki ?</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy zapisać zmiany?</translation>
    </message>
    <message>
        <source>Reversing itinerary</source>
        <translation>Odwracanie trasy</translation>
    </message>
    <message>
        <source>Find Duplicates</source>
        <translation>Znajdź duplikaty</translation>
    </message>
    <message>
        <source>LP</source>
        <translation>LP</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Długość</translation>
    </message>
    <message>
        <source>Latitude </source>
        <translation>Szerokość </translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>Flaga</translation>
    </message>
    <message>
        <source>OpenItn</source>
        <translation>Otwórz ITN</translation>
    </message>
    <message>
        <source>Uwaga!</source>
        <translation>Uwaga!</translation>
    </message>
    <message>
        <source>Itn</source>
        <translation>Itn</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>No duplicates within %1 m</source>
        <translation>Brak duplikatów w promieniu %1 m</translation>
    </message>
    <message>
        <source>Marked 1 duplicate within %1 m</source>
        <translation>Oznaczono 1 duplikat w promieniu %1 m</translation>
    </message>
    <message>
        <source>Marked %1 duplicates within %2 m</source>
        <translation>Oznaczono duplikaty: %1 w promieniu %2 m</translation>
    </message>
</context>
<context>
    <name>TLatLng</name>
    <message>
        <source>LatLng</source>
        <translation>Współrzędne</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Zastosuj</translation>
    </message>
    <message>
        <source>Stopnie</source>
        <translation>Stopnie</translation>
    </message>
    <message>
        <source>Minuty</source>
        <translation>Minuty</translation>
    </message>
    <message>
        <source>Sekundy</source>
        <translation>Sekundy</translation>
    </message>
    <message>
        <source>TomTom</source>
        <translation>TomTom</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Looking for TTDevice</source>
        <translation>Szukanie urządzenia TT</translation>
    </message>
    <message>
        <source>No TT Path</source>
        <translation>Brak ścieżki urządzenia TT</translation>
    </message>
    <message>
        <source>Korvix update!</source>
        <translation>Aktualizacja programu Korvix!</translation>
    </message>
    <message>
        <source>New wersion is available.</source>
        <translation>Dostępna jest nowa wersja.</translation>
    </message>
    <message>
        <source>%1 is not a device folder: it needs the files TTGO.BIF and ttsystem.</source>
        <translation>%1 nie jest folderem urządzenia: musi zawierać pliki TTGO.BIF i ttsystem.</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>UWAGA</translation>
    </message>
    <message>
        <source>This will open copyrighted content of TomTom
Please read copyright notice of TT device first
Do you want to continue ?</source>
        <translation>Zostaną otwarte treści TomTom chronione prawem autorskim
Najpierw przeczytaj informację o prawach autorskich urządzenia TT
Czy chcesz kontynuować?</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>RBSaveAs</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Szukaj</translation>
    </message>
    <message>
        <source>Search for text in Poi&apos;s</source>
        <translation>Szukaj tekstu w POI</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Duplikaty</translation>
    </message>
    <message>
        <source>Select duplicated Poi&apos;s</source>
        <translation>Zaznacz powtarzające się POI</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Zaznacz</translation>
    </message>
    <message>
        <source>Select Poi&apos;s containing text</source>
        <translation>Zaznacz POI zawierające tekst</translation>
    </message>
    <message>
        <source>SelectRegion</source>
        <translation>Zaznacz obszar</translation>
    </message>
    <message>
        <source>Select Poi&apos;s located in saved region</source>
        <translation>Zaznacz POI leżące w zapisanym obszarze</translation>
    </message>
    <message>
        <source>PlaySound</source>
        <translation>Odtwórz dźwięk</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Odtwórz</translation>
    </message>
    <message>
        <source>RecSound</source>
        <translation>Nagraj dźwięk</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Nagraj</translation>
    </message>
    <message>
        <source>StopSound</source>
        <translation>Zatrzymaj dźwięk</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Zatrzymaj</translation>
    </message>
    <message>
        <source>DelSound</source>
        <translation>Odrzuć zmiany dźwięku</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Przywróć</translation>
    </message>
    <message>
        <source>ImportSound</source>
        <translation>Importuj dźwięk</translation>
    </message>
    <message>
        <source>Import Sound</source>
        <translation>Importuj dźwięk</translation>
    </message>
    <message>
        <source>SaveSound</source>
        <translation>Zapisz dźwięk</translation>
    </message>
    <message>
        <source>Save Sound</source>
        <translation>Zapisz dźwięk</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Trim</source>
        <translation>Przytnij</translation>
    </message>
    <message>
        <source>Normalize</source>
        <translation>Normalizuj</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nowy</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>Open device folder…</source>
        <translation>Otwórz folder urządzenia…</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>Za&amp;mknij</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Za&amp;kończ</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Okno</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>O programie...</translation>
    </message>
    <message>
        <source>Extra</source>
        <translation>Dodatki</translation>
    </message>
    <message>
        <source>WebPages</source>
        <translation>Strony WWW</translation>
    </message>
    <message>
        <source>Open Curent Itn</source>
        <translation>Otwórz bieżącą trasę ITN</translation>
    </message>
    <message>
        <source>BackUp</source>
        <translation>Kopia zapasowa</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Kaskadowo</translation>
    </message>
    <message>
        <source>Tile &amp;Horizontally</source>
        <translation>Sąsiadująco &amp;poziomo</translation>
    </message>
    <message>
        <source>Tile &amp;Vertically</source>
        <translation>Sąsiadująco p&amp;ionowo</translation>
    </message>
    <message>
        <source>&amp;Minimize All</source>
        <translation>&amp;Minimalizuj wszystkie</translation>
    </message>
    <message>
        <source>&amp;Arrange All</source>
        <translation>&amp;Uporządkuj wszystkie</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Główny</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Dźwięk</translation>
    </message>
    <message>
        <source>Move %1 and its companions to the safety folder?</source>
        <translation>Przenieść %1 wraz z plikami towarzyszącymi do folderu kopii bezpieczeństwa?</translation>
    </message>
    <message>
        <source>Move %1 to the safety folder?</source>
        <translation>Przenieść %1 do folderu kopii bezpieczeństwa?</translation>
    </message>
    <message>
        <source>%1 moved to the safety folder %2</source>
        <translation>Przeniesiono %1 do folderu kopii bezpieczeństwa %2</translation>
    </message>
    <message>
        <source>Could not move %1 to the safety folder %2</source>
        <translation>Nie udało się przenieść %1 do folderu kopii bezpieczeństwa %2</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>Korvix cannot open %1: no editor takes this kind of file.</source>
        <translation>Korvix nie może otworzyć %1: żaden edytor nie obsługuje tego rodzaju pliku.</translation>
    </message>
    <message>
        <source>Korvix cannot open %1: there is no such file.</source>
        <translation>Korvix nie może otworzyć %1: nie ma takiego pliku.</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
</context>
<context>
    <name>TMapLayers</name>
    <message>
        <source>Save As</source>
        <translation>Zapisz jako</translation>
    </message>
    <message>
        <source>TTMap overlays (*.sat);;All (*.*)</source>
        <translation>Nakładki TTMap (*.sat);;Wszystkie (*.*)</translation>
    </message>
    <message>
        <source>The map&apos;s picture was not found in the window</source>
        <translation>Nie znaleziono obrazu mapy w oknie</translation>
    </message>
    <message>
        <source>The server answered %1</source>
        <translation>Serwer odpowiedział %1</translation>
    </message>
    <message>
        <source>TripMaster (*.csv)</source>
        <translation>TripMaster (*.csv)</translation>
    </message>
    <message>
        <source>TripMaster csv (*.csv)</source>
        <translation>TripMaster csv (*.csv)</translation>
    </message>
    <message>
        <source>GDDIKA SVG (*.svg)</source>
        <translation>GDDIKA SVG (*.svg)</translation>
    </message>
</context>
<context>
    <name>TMiniMap</name>
    <message>
        <source>Update</source>
        <translation>Aktualizuj</translation>
    </message>
    <message>
        <source>AddNew</source>
        <translation>DodajNowy</translation>
    </message>
</context>
<context>
    <name>TOV2</name>
    <message>
        <source>Problem with saving files!</source>
        <translation>Problem z zapisem plików!</translation>
    </message>
    <message>
        <source>Searching for: </source>
        <translation>Wyszukiwanie: </translation>
    </message>
    <message>
        <source>Can&apos;t read the icon %1</source>
        <translation>Nie można odczytać ikony %1</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importuj</translation>
    </message>
    <message>
        <source>LP</source>
        <translation>LP</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Długość</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Szerokość</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Opis</translation>
    </message>
    <message>
        <source>Type/Level</source>
        <translation>Typ/Poziom</translation>
    </message>
    <message>
        <source>Edit POI</source>
        <translation>Edytuj POI</translation>
    </message>
    <message>
        <source>POI</source>
        <translation>POI</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy zapisać zmiany?</translation>
    </message>
    <message>
        <source>TT POI Binary (ov2) (*.ov2)</source>
        <translation>Binarny plik POI TT (ov2) (*.ov2)</translation>
    </message>
    <message>
        <source>Garmin/Navman csv (*.csv)</source>
        <translation>Garmin/Navman csv (*.csv)</translation>
    </message>
    <message>
        <source>Destinator asc (*.asc)</source>
        <translation>Destinator asc (*.asc)</translation>
    </message>
    <message>
        <source>Route66 csv (*.csv)</source>
        <translation>Route66 csv (*.csv)</translation>
    </message>
    <message>
        <source>FindText</source>
        <translation>Szukaj tekstu</translation>
    </message>
    <message>
        <source>Text to serch for:</source>
        <translation>Szukany tekst:</translation>
    </message>
    <message>
        <source>OV2View</source>
        <translation>Widok OV2</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Can&apos;t read the sound %1</source>
        <translation>Nie można odczytać dźwięku %1</translation>
    </message>
    <message>
        <source>POIEditor</source>
        <translation>Edytor POI</translation>
    </message>
    <message>
        <source>Find Duplicates</source>
        <translation>Znajdź duplikaty</translation>
    </message>
    <message>
        <source>No duplicates within %1 m</source>
        <translation>Brak duplikatów w promieniu %1 m</translation>
    </message>
    <message>
        <source>Marked 1 duplicate within %1 m</source>
        <translation>Oznaczono 1 duplikat w promieniu %1 m</translation>
    </message>
    <message>
        <source>Marked %1 duplicates within %2 m</source>
        <translation>Oznaczono duplikaty: %1 w promieniu %2 m</translation>
    </message>
    <message>
        <source>Writing HomePosition</source>
        <translation>Zapisywanie pozycji domu</translation>
    </message>
    <message>
        <source>Writing POIs</source>
        <translation>Zapisywanie POI</translation>
    </message>
    <message>
        <source>Producing images</source>
        <translation>Tworzenie obrazów</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Download GDDKIA</source>
        <translation>Pobieranie GDDKIA</translation>
    </message>
    <message>
        <source>Can&apos;t open &quot;%1&quot;
The existing file will be opened, if exists.</source>
        <translation>Nie można otworzyć &quot;%1&quot;
Zostanie otwarty istniejący plik, jeśli istnieje.</translation>
    </message>
    <message>
        <source>Podaj URL</source>
        <translation>Podaj URL</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>TTMapSettings (*.cfg)</source>
        <translation>TTMapSettings (*.cfg)</translation>
    </message>
    <message>
        <source>GDDKiA Utrudnienia</source>
        <translation>GDDKiA Utrudnienia</translation>
    </message>
    <message>
        <source>Kraków Utrudnienia</source>
        <translation>Kraków Utrudnienia</translation>
    </message>
    <message>
        <source>Zakopane Kwatery</source>
        <translation>Zakopane Kwatery</translation>
    </message>
    <message>
        <source>WEB</source>
        <translation>WEB</translation>
    </message>
    <message>
        <source>MapSettings.cfg</source>
        <translation>MapSettings.cfg</translation>
    </message>
    <message>
        <source>Can&apos;t open %1: %2</source>
        <translation>Nie można otworzyć %1: %2</translation>
    </message>
    <message>
        <source>Insert row above</source>
        <translation>Wstaw wiersz powyżej</translation>
    </message>
    <message>
        <source>Delete rows</source>
        <translation>Usuń wiersze</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Wytnij</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopiuj</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Wklej</translation>
    </message>
    <message>
        <source>1 match</source>
        <translation>1 trafienie</translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation>Trafień: %1</translation>
    </message>
    <message>
        <source>Wave (*.wav)</source>
        <translation>Dźwięk Wave (*.wav)</translation>
    </message>
    <message>
        <source>Ogg (*.ogg)</source>
        <translation>Dźwięk Ogg (*.ogg)</translation>
    </message>
    <message>
        <source>GoogleMaps</source>
        <translation>GoogleMaps</translation>
    </message>
    <message>
        <source>Kml</source>
        <translation>Kml</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Kml file (*.kml)</source>
        <translation>Plik Kml (*.kml)</translation>
    </message>
    <message>
        <source>All (*)</source>
        <translation>Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>Uwaga!</source>
        <translation>Uwaga!</translation>
    </message>
</context>
<context>
    <name>TOggRunner</name>
    <message>
        <source>The Ogg work folder %1 is in use by another conversion (%2, process %3); try again when it has finished</source>
        <translation>Folder roboczy Ogg %1 jest zajęty przez inną konwersję (%2, proces %3); spróbuj ponownie, gdy się zakończy</translation>
    </message>
    <message>
        <source>Can&apos;t lock the Ogg work folder %1</source>
        <translation>Nie można zablokować folderu roboczego Ogg %1</translation>
    </message>
</context>
<context>
    <name>TQFixDownload</name>
    <message>
        <source>Get QuickGPSFix Files</source>
        <translation>Pobierz pliki QuickGPSFix</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Serwer</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Łączenie...</translation>
    </message>
    <message>
        <source>globalLocate Downloading...</source>
        <translation>globalLocate Pobieranie...</translation>
    </message>
    <message>
        <source>globalLocate Decompressing...</source>
        <translation>globalLocate Rozpakowywanie...</translation>
    </message>
    <message>
        <source>SiRFStarIII Downloading...</source>
        <translation>SiRFStarIII Pobieranie...</translation>
    </message>
    <message>
        <source>SiRFStarIII Decompressing...</source>
        <translation>SiRFStarIII Rozpakowywanie...</translation>
    </message>
</context>
<context>
    <name>TQuickGpsFix</name>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Could not download QuickGPSFix.</source>
        <translation>Nie udało się pobrać QuickGPSFix.</translation>
    </message>
    <message>
        <source>QuickGPSFix</source>
        <translation>QuickGPSFix</translation>
    </message>
    <message>
        <source>Can&apos;t create %1</source>
        <translation>Nie można utworzyć %1</translation>
    </message>
    <message>
        <source>globalLocate Downloading...</source>
        <translation>globalLocate Pobieranie...</translation>
    </message>
    <message>
        <source>globalLocate Decompressing</source>
        <translation>globalLocate Rozpakowywanie</translation>
    </message>
    <message>
        <source>SiRFStarIII Downloading</source>
        <translation>SiRFStarIII Pobieranie</translation>
    </message>
    <message>
        <source>SiRFStarIII Decompressing</source>
        <translation>SiRFStarIII Rozpakowywanie</translation>
    </message>
    <message>
        <source>Copy files</source>
        <translation>Kopiowanie plików</translation>
    </message>
    <message>
        <source>Missing after unpacking: %1</source>
        <translation>Brak po rozpakowaniu: %1</translation>
    </message>
</context>
<context>
    <name>TRBCopyAction</name>
    <message>
        <source>Copy</source>
        <translation>Kopiuj</translation>
    </message>
</context>
<context>
    <name>TRBCutAction</name>
    <message>
        <source>Cut</source>
        <translation>Wytnij</translation>
    </message>
</context>
<context>
    <name>TRBPasteAction</name>
    <message>
        <source>Paste</source>
        <translation>Wklej</translation>
    </message>
</context>
<context>
    <name>TRBReverse</name>
    <message>
        <source>Reverse</source>
        <translation>Odwróć</translation>
    </message>
</context>
<context>
    <name>TRBSelectAll</name>
    <message>
        <source>SelectAll</source>
        <translation>Zaznacz wszystko</translation>
    </message>
</context>
<context>
    <name>TRBSoundBox</name>
    <message>
        <source>Unknown format</source>
        <translation>Nieznany format</translation>
    </message>
    <message>
        <source>No WaveStorage Assigned</source>
        <translation>Nie przypisano magazynu dźwięku (WaveStorage)</translation>
    </message>
</context>
<context>
    <name>TRBUndoAction</name>
    <message>
        <source>Redo</source>
        <translation>Ponów</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
</context>
<context>
    <name>TRecovery</name>
    <message>
        <source>Korvix was not closed properly. Recover these lists?</source>
        <translation>Korvix nie został poprawnie zamknięty. Odzyskać te listy?</translation>
    </message>
    <message>
        <source>Recover</source>
        <translation>Odzyskaj</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Odrzuć</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Później</translation>
    </message>
    <message>
        <source>New itinerary</source>
        <translation>Nowa trasa</translation>
    </message>
    <message>
        <source>New POI list</source>
        <translation>Nowa lista POI</translation>
    </message>
    <message>
        <source>no folder</source>
        <translation>brak folderu</translation>
    </message>
    <message>
        <source>The recovery file %1 cannot be written: %2</source>
        <translation>Nie można zapisać pliku odzyskiwania %1: %2</translation>
    </message>
    <message>
        <source>A recovery file cannot be read and was set aside: %1</source>
        <translation>Nie można odczytać pliku odzyskiwania; odłożono go na bok: %1</translation>
    </message>
    <message>
        <source>Lists of a run that did not end cleanly: %1</source>
        <translation>Listy z uruchomienia, które nie zakończyło się poprawnie: %1</translation>
    </message>
</context>
<context>
    <name>TRestore</name>
    <message>
        <source>Name leads outside the device folder, not restored: %1</source>
        <translation>Nazwa prowadzi poza folder urządzenia, nie odtworzono: %1</translation>
    </message>
    <message>
        <source>Can&apos;t create the folder of %1</source>
        <translation>Nie można utworzyć folderu dla %1</translation>
    </message>
    <message>
        <source>Can&apos;t write %1</source>
        <translation>Nie można zapisać %1</translation>
    </message>
    <message>
        <source>Restore cancelled</source>
        <translation>Odtwarzanie przerwane</translation>
    </message>
    <message>
        <source>Can&apos;t unpack %1</source>
        <translation>Nie można rozpakować %1</translation>
    </message>
</context>
<context>
    <name>TRestoreDialog</name>
    <message>
        <source>Restore</source>
        <translation>Odtwarzanie</translation>
    </message>
    <message>
        <source>Backup %1 against %2</source>
        <translation>Kopia %1 wobec %2</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Rozmiar</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>Size on device</source>
        <translation>Rozmiar na urządzeniu</translation>
    </message>
    <message>
        <source>Time on device</source>
        <translation>Czas na urządzeniu</translation>
    </message>
    <message>
        <source>Restore all</source>
        <translation>Odtwórz wszystko</translation>
    </message>
    <message>
        <source>Restore chosen</source>
        <translation>Odtwórz wybrane</translation>
    </message>
    <message>
        <source>Not restored, these names lead outside the device folder: %1</source>
        <translation>Nie odtworzono, te nazwy prowadzą poza folder urządzenia: %1</translation>
    </message>
    <message>
        <source>%1 files restored</source>
        <translation>Odtworzono plików: %1</translation>
    </message>
</context>
<context>
    <name>TRestoreItem</name>
    <message>
        <source>new</source>
        <translation>nowy</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>zmieniony</translation>
    </message>
    <message>
        <source>same</source>
        <translation>bez zmian</translation>
    </message>
</context>
<context>
    <name>TSavePOIDlg</name>
    <message>
        <source>Save As...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Wybierz plik</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Zapisz</translation>
    </message>
</context>
<context>
    <name>TSchemEdit</name>
    <message>
        <source>LP</source>
        <translation>LP</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Kolor</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Opis</translation>
    </message>
    <message>
        <source>Schems</source>
        <translation>Schematy</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy zapisać zmiany?</translation>
    </message>
    <message>
        <source>ColorScheme (*.clr)</source>
        <translation>Schemat kolorów (*.clr)</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Nie można utworzyć pliku „%1”. %2</translation>
    </message>
</context>
<context>
    <name>TSettings</name>
    <message>
        <source>Korvix Settings</source>
        <translation>Ustawienia programu Korvix</translation>
    </message>
    <message>
        <source>Select language (Needs restart of application to take efect)</source>
        <translation>Wybierz język (zmiana wymaga ponownego uruchomienia programu)</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Sprawdzaj aktualizacje</translation>
    </message>
    <message>
        <source>Register autoplay handler</source>
        <translation>Zarejestruj obsługę autoodtwarzania</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>Podstawowe</translation>
    </message>
    <message>
        <source>Initial view bounds</source>
        <translation>Początkowy obszar widoku</translation>
    </message>
    <message>
        <source>Home position</source>
        <translation>Pozycja domowa</translation>
    </message>
    <message>
        <source>MaxDistance [m]</source>
        <translation>Maks. odległość [m]</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Map tiles</source>
        <translation>Kafelki mapy</translation>
    </message>
    <message>
        <source>Map tiles attribution</source>
        <translation>Opis źródła kafelków mapy</translation>
    </message>
    <message>
        <source>Terrain tiles</source>
        <translation>Kafelki terenu</translation>
    </message>
    <message>
        <source>Satellite tiles</source>
        <translation>Kafelki satelitarne</translation>
    </message>
    <message>
        <source>Driving directions</source>
        <translation>Trasa samochodem</translation>
    </message>
    <message>
        <source>Walking directions</source>
        <translation>Trasa pieszo</translation>
    </message>
    <message>
        <source>Avoid highways</source>
        <translation>Omijanie autostrad</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Wyszukiwanie</translation>
    </message>
    <message>
        <source>Address of a position</source>
        <translation>Adres miejsca</translation>
    </message>
    <message>
        <source>Wikipedia</source>
        <translation>Wikipedia</translation>
    </message>
    <message>
        <source>Panoramio</source>
        <translation>Panoramio</translation>
    </message>
    <message>
        <source>Traffic</source>
        <translation>Ruch drogowy</translation>
    </message>
    <message>
        <source>YouTube</source>
        <translation>YouTube</translation>
    </message>
    <message>
        <source>WebCam</source>
        <translation>Kamery</translation>
    </message>
    <message>
        <source>Labels over satellite tiles</source>
        <translation>Opisy na kafelkach satelitarnych</translation>
    </message>
    <message>
        <source>Tile archives (MBTiles, PMTiles) shown as base layers of the map</source>
        <translation>Archiwa kafelków (MBTiles, PMTiles) pokazywane jako warstwy podkładowe mapy</translation>
    </message>
    <message>
        <source>Add tile archive...</source>
        <translation>Dodaj archiwum kafelków...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Tile cache limit</source>
        <translation>Limit pamięci podręcznej kafelków</translation>
    </message>
    <message>
        <source>Tile cache</source>
        <translation>Pamięć podręczna kafelków</translation>
    </message>
    <message>
        <source>Empty the tile cache</source>
        <translation>Opróżnij pamięć podręczną kafelków</translation>
    </message>
    <message>
        <source>Offline map</source>
        <translation>Mapa bez sieci</translation>
    </message>
    <message>
        <source>Add tile archive</source>
        <translation>Dodaj archiwum kafelków</translation>
    </message>
    <message>
        <source>Tile archives (*.mbtiles *.pmtiles);;All files (*)</source>
        <translation>Archiwa kafelków (*.mbtiles *.pmtiles);;Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>%1 MB in %2</source>
        <translation>%1 MB w %2</translation>
    </message>
</context>
<context>
    <name>TSound</name>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Silence</source>
        <translation>Cisza</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>Dźwięki</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy zapisać zmiany?</translation>
    </message>
    <message>
        <source>OGG (*.ogg)</source>
        <translation>OGG (*.ogg)</translation>
    </message>
    <message>
        <source>Wave (*.wav)</source>
        <translation>Wave (*.wav)</translation>
    </message>
    <message>
        <source>Wave (*.wav);;Ogg (*.ogg)</source>
        <translation>Wave (*.wav);;Ogg (*.ogg)</translation>
    </message>
    <message>
        <source>Can&apos;t read the sound file %1</source>
        <translation>Nie można odczytać pliku dźwiękowego %1</translation>
    </message>
    <message>
        <source>Problem with saving files!</source>
        <translation>Problem z zapisem plików!</translation>
    </message>
</context>
<context>
    <name>TStockAudioRecorder</name>
    <message>
        <source>The sound input device cannot be opened</source>
        <translation>Nie można otworzyć urządzenia wejściowego dźwięku</translation>
    </message>
    <message>
        <source>The sound input device failed while recording</source>
        <translation>Urządzenie wejściowe dźwięku uległo awarii podczas nagrywania</translation>
    </message>
    <message>
        <source>The sound input device is no longer available</source>
        <translation>Urządzenie wejściowe dźwięku nie jest już dostępne</translation>
    </message>
    <message>
        <source>The recorder has no wave storage</source>
        <translation>Rejestrator nie ma przypisanego magazynu dźwięku</translation>
    </message>
    <message>
        <source>The recording format is not PCM</source>
        <translation>Format nagrania nie jest formatem PCM</translation>
    </message>
    <message>
        <source>No sound input device is available</source>
        <translation>Brak dostępnego urządzenia wejściowego dźwięku</translation>
    </message>
    <message>
        <source>The sound input device cannot record %1</source>
        <translation>Urządzenie wejściowe dźwięku nie może nagrywać w formacie %1</translation>
    </message>
</context>
<context>
    <name>TVoice</name>
    <message>
        <source>After</source>
        <translation>Po</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>80</source>
        <translation>80</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>200</source>
        <translation>200</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>400</source>
        <translation>400</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>600</source>
        <translation>600</translation>
    </message>
    <message>
        <source>700</source>
        <translation>700</translation>
    </message>
    <message>
        <source>800</source>
        <translation>800</translation>
    </message>
    <message>
        <source>Metres</source>
        <translation>Metrach</translation>
    </message>
    <message>
        <source>You have reached your destination </source>
        <translation>Dotarłeś do celu</translation>
    </message>
    <message>
        <source>Turn Right</source>
        <translation>Skręć w prawo</translation>
    </message>
    <message>
        <source>Take the second left</source>
        <translation>Skręć w drugą w lewo</translation>
    </message>
    <message>
        <source>Take the second right</source>
        <translation>Skręć w drugą w prawo</translation>
    </message>
    <message>
        <source>Take the third left</source>
        <translation>Skręć w trzecią w lewo</translation>
    </message>
    <message>
        <source>Take the third right</source>
        <translation>Skręć w trzecią w prawo</translation>
    </message>
    <message>
        <source>Exit ahead</source>
        <translation>Zjazd przed tobą</translation>
    </message>
    <message>
        <source>ahead Exit left</source>
        <translation>przed tobą zjazd w lewo</translation>
    </message>
    <message>
        <source>ahead Exit right</source>
        <translation>przed tobą zjazd w prawo</translation>
    </message>
    <message>
        <source>Ferry ahead</source>
        <translation>Prom przed tobą</translation>
    </message>
    <message>
        <source>Ahead keep left</source>
        <translation>Przed tobą trzymaj się lewej</translation>
    </message>
    <message>
        <source>Ahead keep right</source>
        <translation>Przed tobą trzymaj się prawej</translation>
    </message>
    <message>
        <source>Left turn ahead</source>
        <translation>Przed tobą skręt w lewo</translation>
    </message>
    <message>
        <source>Right turn ahead</source>
        <translation>Przed tobą skręt w prawo</translation>
    </message>
    <message>
        <source>U-turn ahead</source>
        <translation>Przed tobą zawracanie</translation>
    </message>
    <message>
        <source>Bear left</source>
        <translation>Odbij w lewo</translation>
    </message>
    <message>
        <source>Bear right</source>
        <translation>Odbij w prawo</translation>
    </message>
    <message>
        <source>Congestion charge</source>
        <translation>Opłata za wjazd do centrum</translation>
    </message>
    <message>
        <source>Depart (only heard when you tap Test when selecting a voice)</source>
        <translation>Start (słychać tylko po dotknięciu Test przy wyborze głosu)</translation>
    </message>
    <message>
        <source>Keep left</source>
        <translation>Trzymaj się lewej</translation>
    </message>
    <message>
        <source>Keep right</source>
        <translation>Trzymaj się prawej</translation>
    </message>
    <message>
        <source>Stay in the left lane</source>
        <translation>Zostań na lewym pasie</translation>
    </message>
    <message>
        <source>Stay in the right lane</source>
        <translation>Zostań na prawym pasie</translation>
    </message>
    <message>
        <source>Take the motorway </source>
        <translation>Wjedź na autostradę</translation>
    </message>
    <message>
        <source>Leave the motorway </source>
        <translation>Zjedź z autostrady</translation>
    </message>
    <message>
        <source>Leave the motorway at the exit on the left</source>
        <translation>Zjedź z autostrady zjazdem po lewej</translation>
    </message>
    <message>
        <source>Leave the motorway at the exit on the right</source>
        <translation>Zjedź z autostrady zjazdem po prawej</translation>
    </message>
    <message>
        <source>Go around the roundabout</source>
        <translation>Objedź rondo dookoła</translation>
    </message>
    <message>
        <source>Cross the roundabout</source>
        <translation>Przejedź przez rondo</translation>
    </message>
    <message>
        <source>First exit</source>
        <translation>Pierwszy zjazd</translation>
    </message>
    <message>
        <source>Second exit</source>
        <translation>Drugi zjazd</translation>
    </message>
    <message>
        <source>Third exit</source>
        <translation>Trzeci zjazd</translation>
    </message>
    <message>
        <source>Fourth exit</source>
        <translation>Czwarty zjazd</translation>
    </message>
    <message>
        <source>Fifth exit</source>
        <translation>Piąty zjazd</translation>
    </message>
    <message>
        <source>Sixth exit</source>
        <translation>Szósty zjazd</translation>
    </message>
    <message>
        <source>Go left on the roundabout</source>
        <translation>Na rondzie jedź w lewo</translation>
    </message>
    <message>
        <source>Go right on the roundabout</source>
        <translation>Na rondzie jedź w prawo</translation>
    </message>
    <message>
        <source>At the end of the road</source>
        <translation>Na końcu drogi</translation>
    </message>
    <message>
        <source>Sharp left </source>
        <translation>Ostro w lewo</translation>
    </message>
    <message>
        <source>Sharp right </source>
        <translation>Ostro w prawo</translation>
    </message>
    <message>
        <source>Go straight on</source>
        <translation>Jedź prosto</translation>
    </message>
    <message>
        <source>Take the ferry</source>
        <translation>Wjedź na prom</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Następnie</translation>
    </message>
    <message>
        <source>Turn around when possible</source>
        <translation>Zawróć, gdy będzie to możliwe</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>Skręć w lewo</translation>
    </message>
    <message>
        <source>Make a U-turn</source>
        <translation>Zawróć</translation>
    </message>
    <message>
        <source>Yards</source>
        <translation>Jardach</translation>
    </message>
    <message>
        <source>Young</source>
        <translation>Młody</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Kobieta</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Mężczyzna</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Narzędzia</translation>
    </message>
    <message>
        <source>Speak all phrases...</source>
        <translation>Wypowiedz wszystkie frazy...</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Płeć</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>Flaga</translation>
    </message>
    <message>
        <source>Click to choose the voice&apos;s picture</source>
        <translation>Kliknij, aby wybrać obrazek głosu</translation>
    </message>
    <message>
        <source>Voices</source>
        <translation>Głosy</translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation>Czy chcesz zapisać zmiany?</translation>
    </message>
    <message>
        <source>TT Voice (VIF) (*.VIF *.vif)</source>
        <translation>Głos TT (VIF) (*.VIF *.vif)</translation>
    </message>
    <message>
        <source>Bitmap (*.bmp)</source>
        <translation>Bitmapa (*.bmp)</translation>
    </message>
    <message>
        <source>Wave (*.wav);;Ogg (*.ogg)</source>
        <translation>Wave (*.wav);;Ogg (*.ogg)</translation>
    </message>
    <message>
        <source>Speak all phrases</source>
        <translation>Wypowiedz wszystkie frazy</translation>
    </message>
    <message>
        <source>Every phrase of the voice is replaced by synthetic speech.
Language of the speech:</source>
        <translation>Każda fraza głosu zostanie zastąpiona mową syntetyczną.
Język mowy:</translation>
    </message>
    <message>
        <source>LP</source>
        <translation>LP</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Opis</translation>
    </message>
    <message>
        <source>OGG Info</source>
        <translation>Informacja OGG</translation>
    </message>
    <message>
        <source>Open Voice file</source>
        <translation>Otwieranie pliku głosu</translation>
    </message>
    <message>
        <source>Reading CHK</source>
        <translation>Czytanie CHK</translation>
    </message>
    <message>
        <source>Reading VIF</source>
        <translation>Czytanie VIF</translation>
    </message>
    <message>
        <source>Reading BMP</source>
        <translation>Czytanie BMP</translation>
    </message>
    <message>
        <source>Save Voice file</source>
        <translation>Zapisywanie pliku głosu</translation>
    </message>
    <message>
        <source>Building header</source>
        <translation>Budowanie nagłówka</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>Zapisywanie...</translation>
    </message>
    <message>
        <source>the sound could not be encoded (is oggenc installed?)</source>
        <translation>nie udało się zakodować dźwięku (czy oggenc jest zainstalowany?)</translation>
    </message>
    <message>
        <source>Shorten it (Trim or Delete) and save it again.</source>
        <translation>Skróć go (Przytnij lub Usuń) i zapisz ponownie.</translation>
    </message>
    <message>
        <source>the phrase file could not be written</source>
        <translation>nie udało się zapisać pliku frazy</translation>
    </message>
    <message>
        <source>Save or discard the phrase being edited first.</source>
        <translation>Najpierw zapisz lub odrzuć edytowaną frazę.</translation>
    </message>
    <message>
        <source>The speech synthesiser %1 is not installed.</source>
        <translation>Syntezator mowy %1 nie jest zainstalowany.</translation>
    </message>
    <message>
        <source>Speaking</source>
        <translation>Wypowiadanie</translation>
    </message>
</context>
<context>
    <name>TVoiceSpeech</name>
    <message>
        <source>After</source>
        <translation>Po</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>80</source>
        <translation>80</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>200</source>
        <translation>200</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>400</source>
        <translation>400</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>600</source>
        <translation>600</translation>
    </message>
    <message>
        <source>700</source>
        <translation>700</translation>
    </message>
    <message>
        <source>800</source>
        <translation>800</translation>
    </message>
    <message>
        <source>Metres</source>
        <translation>metrach</translation>
    </message>
    <message>
        <source>You have reached your destination</source>
        <translation>Dotarłeś do celu</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>Skręć w prawo</translation>
    </message>
    <message>
        <source>Take the second left</source>
        <translation>Skręć w drugą w lewo</translation>
    </message>
    <message>
        <source>Take the second right</source>
        <translation>Skręć w drugą w prawo</translation>
    </message>
    <message>
        <source>Take the third left</source>
        <translation>Skręć w trzecią w lewo</translation>
    </message>
    <message>
        <source>Take the third right</source>
        <translation>Skręć w trzecią w prawo</translation>
    </message>
    <message>
        <source>Exit ahead</source>
        <translation>Zjazd przed tobą</translation>
    </message>
    <message>
        <source>Exit left ahead</source>
        <translation>Zjazd w lewo przed tobą</translation>
    </message>
    <message>
        <source>Exit right ahead</source>
        <translation>Zjazd w prawo przed tobą</translation>
    </message>
    <message>
        <source>Ferry ahead</source>
        <translation>Prom przed tobą</translation>
    </message>
    <message>
        <source>Ahead keep left</source>
        <translation>Przed tobą trzymaj się lewej</translation>
    </message>
    <message>
        <source>Ahead keep right</source>
        <translation>Przed tobą trzymaj się prawej</translation>
    </message>
    <message>
        <source>Left turn ahead</source>
        <translation>Przed tobą skręt w lewo</translation>
    </message>
    <message>
        <source>Right turn ahead</source>
        <translation>Przed tobą skręt w prawo</translation>
    </message>
    <message>
        <source>U-turn ahead</source>
        <translation>Przed tobą zawracanie</translation>
    </message>
    <message>
        <source>Bear left</source>
        <translation>Odbij w lewo</translation>
    </message>
    <message>
        <source>Bear right</source>
        <translation>Odbij w prawo</translation>
    </message>
    <message>
        <source>Congestion charge</source>
        <translation>Opłata za wjazd do centrum</translation>
    </message>
    <message>
        <source>Depart</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Keep left</source>
        <translation>Trzymaj się lewej</translation>
    </message>
    <message>
        <source>Keep right</source>
        <translation>Trzymaj się prawej</translation>
    </message>
    <message>
        <source>Stay in the left lane</source>
        <translation>Zostań na lewym pasie</translation>
    </message>
    <message>
        <source>Stay in the right lane</source>
        <translation>Zostań na prawym pasie</translation>
    </message>
    <message>
        <source>Take the motorway</source>
        <translation>Wjedź na autostradę</translation>
    </message>
    <message>
        <source>Leave the motorway</source>
        <translation>Zjedź z autostrady</translation>
    </message>
    <message>
        <source>Leave the motorway at the exit on the left</source>
        <translation>Zjedź z autostrady zjazdem po lewej</translation>
    </message>
    <message>
        <source>Leave the motorway at the exit on the right</source>
        <translation>Zjedź z autostrady zjazdem po prawej</translation>
    </message>
    <message>
        <source>Go around the roundabout</source>
        <translation>Objedź rondo dookoła</translation>
    </message>
    <message>
        <source>Cross the roundabout</source>
        <translation>Przejedź przez rondo</translation>
    </message>
    <message>
        <source>First exit</source>
        <translation>Pierwszy zjazd</translation>
    </message>
    <message>
        <source>Second exit</source>
        <translation>Drugi zjazd</translation>
    </message>
    <message>
        <source>Third exit</source>
        <translation>Trzeci zjazd</translation>
    </message>
    <message>
        <source>Fourth exit</source>
        <translation>Czwarty zjazd</translation>
    </message>
    <message>
        <source>Fifth exit</source>
        <translation>Piąty zjazd</translation>
    </message>
    <message>
        <source>Sixth exit</source>
        <translation>Szósty zjazd</translation>
    </message>
    <message>
        <source>Go left on the roundabout</source>
        <translation>Na rondzie jedź w lewo</translation>
    </message>
    <message>
        <source>Go right on the roundabout</source>
        <translation>Na rondzie jedź w prawo</translation>
    </message>
    <message>
        <source>At the end of the road</source>
        <translation>Na końcu drogi</translation>
    </message>
    <message>
        <source>Sharp left</source>
        <translation>Ostro w lewo</translation>
    </message>
    <message>
        <source>Sharp right</source>
        <translation>Ostro w prawo</translation>
    </message>
    <message>
        <source>Go straight on</source>
        <translation>Jedź prosto</translation>
    </message>
    <message>
        <source>Take the ferry</source>
        <translation>Wjedź na prom</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Następnie</translation>
    </message>
    <message>
        <source>Turn around when possible</source>
        <translation>Zawróć, gdy będzie to możliwe</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>Skręć w lewo</translation>
    </message>
    <message>
        <source>Make a U-turn</source>
        <translation>Zawróć</translation>
    </message>
    <message>
        <source>Yards</source>
        <translation>jardach</translation>
    </message>
</context>
<context>
    <name>TWave</name>
    <message>
        <source>Can&apos;t open the wave file %1</source>
        <translation>Nie można otworzyć pliku WAV %1</translation>
    </message>
    <message>
        <source>Not a RIFF wave file</source>
        <translation>To nie jest plik WAV w formacie RIFF</translation>
    </message>
    <message>
        <source>The wave format record is damaged</source>
        <translation>Rekord formatu pliku WAV jest uszkodzony</translation>
    </message>
    <message>
        <source>The wave data is truncated</source>
        <translation>Dane dźwięku w pliku WAV są niepełne</translation>
    </message>
    <message>
        <source>The wave file has no format record</source>
        <translation>Plik WAV nie zawiera rekordu formatu</translation>
    </message>
    <message>
        <source>The wave file has no data</source>
        <translation>Plik WAV nie zawiera danych</translation>
    </message>
    <message>
        <source>Can&apos;t write the wave file %1: %2</source>
        <translation>Nie można zapisać pliku WAV %1: %2</translation>
    </message>
    <message>
        <source>The sample rate %1 Hz is outside %2 to %3 Hz</source>
        <translation>Częstotliwość próbkowania %1 Hz leży poza zakresem od %2 do %3 Hz</translation>
    </message>
    <message>
        <source>There is no sound to convert</source>
        <translation>Nie ma dźwięku do przekonwertowania</translation>
    </message>
    <message>
        <source>Can&apos;t convert a sound to %1</source>
        <translation>Nie można przekonwertować dźwięku na %1</translation>
    </message>
    <message>
        <source>Can&apos;t decode %1</source>
        <translation>Nie można zdekodować %1</translation>
    </message>
    <message>
        <source>Converted, the sound would take %1 MB, more than %2 MB</source>
        <translation>Po konwersji dźwięk zająłby %1 MB, więcej niż %2 MB</translation>
    </message>
    <message>
        <source>The sound is too long to convert</source>
        <translation>Dźwięk jest zbyt długi, by go przekonwertować</translation>
    </message>
    <message>
        <source>Can&apos;t change the sample rate of %1</source>
        <translation>Nie można zmienić częstotliwości próbkowania %1</translation>
    </message>
</context>
<context>
    <name>TileArchive</name>
    <message>
        <source>Not a tile archive (MBTiles or PMTiles)</source>
        <translation>To nie jest archiwum kafelków (MBTiles ani PMTiles)</translation>
    </message>
    <message>
        <source>The SQLite driver of Qt is missing</source>
        <translation>Brak sterownika SQLite biblioteki Qt</translation>
    </message>
    <message>
        <source>Not an MBTiles archive: it has no table of tiles</source>
        <translation>To nie jest archiwum MBTiles: nie ma tabeli kafelków</translation>
    </message>
    <message>
        <source>Not an MBTiles archive: its table of tiles cannot be read</source>
        <translation>To nie jest archiwum MBTiles: nie można odczytać tabeli kafelków</translation>
    </message>
    <message>
        <source>The tile %1/%2/%3 is too large</source>
        <translation>Kafelek %1/%2/%3 jest za duży</translation>
    </message>
    <message>
        <source>A directory of the archive is broken</source>
        <translation>Katalog archiwum jest uszkodzony</translation>
    </message>
    <message>
        <source>A directory of the archive is not in order</source>
        <translation>Katalog archiwum nie jest uporządkowany</translation>
    </message>
    <message>
        <source>A part of the archive lies past its end</source>
        <translation>Część archiwum leży za jego końcem</translation>
    </message>
    <message>
        <source>A directory of the archive is too large</source>
        <translation>Katalog archiwum jest za duży</translation>
    </message>
    <message>
        <source>A directory of the archive cannot be unpacked</source>
        <translation>Nie można rozpakować katalogu archiwum</translation>
    </message>
    <message>
        <source>Not a PMTiles archive</source>
        <translation>To nie jest archiwum PMTiles</translation>
    </message>
    <message>
        <source>PMTiles version %1 is not supported</source>
        <translation>Wersja %1 PMTiles nie jest obsługiwana</translation>
    </message>
    <message>
        <source>The archive&apos;s directories are packed in a way not supported</source>
        <translation>Katalogi archiwum są spakowane w nieobsługiwany sposób</translation>
    </message>
    <message>
        <source>The archive&apos;s tiles are packed in a way not supported</source>
        <translation>Kafelki archiwum są spakowane w nieobsługiwany sposób</translation>
    </message>
    <message>
        <source>The archive holds no raster tiles</source>
        <translation>Archiwum nie zawiera kafelków rastrowych</translation>
    </message>
    <message>
        <source>The archive&apos;s description is too large</source>
        <translation>Opis archiwum jest za duży</translation>
    </message>
    <message>
        <source>The archive&apos;s description cannot be unpacked</source>
        <translation>Nie można rozpakować opisu archiwum</translation>
    </message>
    <message>
        <source>The tile %1/%2/%3 cannot be unpacked</source>
        <translation>Nie można rozpakować kafelka %1/%2/%3</translation>
    </message>
    <message>
        <source>The archive&apos;s directories nest too deep</source>
        <translation>Katalogi archiwum są zagnieżdżone zbyt głęboko</translation>
    </message>
    <message>
        <source>There is no tile %1/%2/%3 on the map</source>
        <translation>Na mapie nie ma kafelka %1/%2/%3</translation>
    </message>
    <message>
        <source>There is no tile %1/%2/%3 in the archive</source>
        <translation>W archiwum nie ma kafelka %1/%2/%3</translation>
    </message>
    <message>
        <source>The tile %1/%2/%3 is no picture</source>
        <translation>Kafelek %1/%2/%3 nie jest obrazem</translation>
    </message>
</context>
<context>
    <name>TripMaster</name>
    <message>
        <source>Reading track</source>
        <translation>Czytanie śladu</translation>
    </message>
    <message>
        <source>Postój: </source>
        <translation>Postój: </translation>
    </message>
    <message>
        <source> do </source>
        <translation> do </translation>
    </message>
</context>
<context>
    <name>VoiceChk</name>
    <message>
        <source>its sound takes %1 bytes, a voice holds at most %2</source>
        <translation>jej dźwięk zajmuje %1 bajtów, głos mieści najwyżej %2</translation>
    </message>
    <message>
        <source>no such phrase</source>
        <translation>nie ma takiej frazy</translation>
    </message>
    <message>
        <source>its offsets are out of order</source>
        <translation>jej przesunięcia są w złej kolejności</translation>
    </message>
    <message>
        <source>its record lies past the end of the file</source>
        <translation>jej rekord leży za końcem pliku</translation>
    </message>
    <message>
        <source>its record does not start with the words 1 and 8</source>
        <translation>jej rekord nie zaczyna się od słów 1 i 8</translation>
    </message>
    <message>
        <source>its length field is smaller than its data</source>
        <translation>jej pole długości jest mniejsze niż jej dane</translation>
    </message>
    <message>
        <source>its data run past its record</source>
        <translation>jej dane wychodzą poza jej rekord</translation>
    </message>
    <message>
        <source>its data run past the end of the file</source>
        <translation>jej dane wychodzą poza koniec pliku</translation>
    </message>
    <message>
        <source>Phrase %1 (%2): %3</source>
        <translation>Fraza %1 (%2): %3</translation>
    </message>
    <message>
        <source>Can&apos;t create the folder %1</source>
        <translation>Nie można utworzyć folderu %1</translation>
    </message>
    <message>
        <source>Can&apos;t remove %1: %2</source>
        <translation>Nie można usunąć %1: %2</translation>
    </message>
    <message>
        <source>it is missing; record or import it first</source>
        <translation>brak jej; najpierw ją nagraj lub zaimportuj</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>to nie jest zwykły plik</translation>
    </message>
</context>
<context>
    <name>VoiceSpeech</name>
    <message>
        <source>en</source>
        <extracomment>The espeak-ng language that speaks this translation&apos;s texts (&quot;pl&quot; for Polish).</extracomment>
        <translation>pl</translation>
    </message>
    <message>
        <source>The speech synthesiser %1 is not installed.</source>
        <translation>Syntezator mowy %1 nie jest zainstalowany.</translation>
    </message>
    <message>
        <source>Can&apos;t create the folder %1</source>
        <translation>Nie można utworzyć folderu %1</translation>
    </message>
    <message>
        <source>Can&apos;t write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
    <message>
        <source>%1 could not speak in the language &quot;%2&quot;.</source>
        <translation>%1 nie potrafi mówić w języku „%2”.</translation>
    </message>
    <message>
        <source>the sound could not be encoded (is oggenc installed?)</source>
        <translation>nie udało się zakodować dźwięku (czy oggenc jest zainstalowany?)</translation>
    </message>
</context>
<context>
    <name>XmlGuard</name>
    <message>
        <source>entity declarations are not accepted</source>
        <translation>deklaracje encji są niedozwolone</translation>
    </message>
    <message>
        <source>attribute declarations are not accepted</source>
        <translation>deklaracje atrybutów są niedozwolone</translation>
    </message>
    <message>
        <source>references to entities are not accepted</source>
        <translation>odwołania do encji są niedozwolone</translation>
    </message>
    <message>
        <source>the elements nest deeper than %1 levels</source>
        <translation>elementy są zagnieżdżone głębiej niż %1 poziomów</translation>
    </message>
    <message>
        <source>an element has more than %1 attributes</source>
        <translation>element ma więcej niż %1 atrybutów</translation>
    </message>
    <message>
        <source>more than %1 namespaces are declared around an element</source>
        <translation>wokół elementu zadeklarowano więcej niż %1 przestrzeni nazw</translation>
    </message>
    <message>
        <source>the elements carry too many attributes in all</source>
        <translation>elementy mają łącznie za dużo atrybutów</translation>
    </message>
    <message>
        <source>the document is larger than %1 MB</source>
        <translation>dokument jest większy niż %1 MB</translation>
    </message>
</context>
</TS>
