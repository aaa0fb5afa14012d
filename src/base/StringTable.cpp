// The Swedish table, and the lookup of every language's table (the English
// texts are in base/StringTableEn.cpp).
//
// Swedish texts of our own (no stored wording to follow): 1006, 1040-1049, 5027, 5030-5035,
// 5038, 5039, 5043, 5084, 5086, 5087-5090, 6000, 6010, 6021, 6022, 6040-6059, 6065-6066, 6070-6073,
// 6080-6088, 6090-6097. Every
// other text is the Swedish build's own, byte for byte.
#include "base/StringTable.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include "base/StringTableEntries.h"

namespace {

using stringtable::Entry;

// One sorted array per language, looked up by binary search: the table lives
// in read-only data and a lookup allocates nothing but the returned text.
constexpr Entry kEntries[] = {
    // Main window menus.
    {1000, "&Arkiv"},
    {1001, "&Öppna..."},
    {1002, "St&äng"},
    {1003, "&Spara    "},  // stored with trailing blanks
    {1004, "Spara so&m/Exportera..."},
    {1005, "Skriv &ut..."},
    {1006, "Skrivar&inställningar..."},
    {1007, "&Avsluta"},
    {1008, "&Redigera"},
    {1009, "K&opiera"},
    {1010, "Vi&sa"},
    {1011, "&Information"},
    {1012, "&Diagram"},
    {1013, "Data&tabell"},
    {1014, "&Zooma in"},
    {1015, "Zoo&ma ut"},
    {1016, "Visa &allt"},
    {1017, "A&xel..."},
    {1018, "Instru&ment"},
    {1019, "&Realtidsfönster"},
    {1020, "Realtids&inställningar..."},
    {1021, "&Ladda ner filer..."},
    {1022, "R&adera filer..."},
    {1023, "&Kommunikationsport"},
    {1024, "Instrumenti&nformation"},
    {1025, "&Fönster"},
    {1026, "&Överlappande"},
    {1027, "&Sida vid sida"},
    {1028, "&Ordna ikoner"},
    {1029, "S&täng alla"},
    {1030, "(Fönsterkant)"},
    {1031, "&Hjälp"},
    {1032, "Snabb&vägledning"},
    {1033, "&Innehåll och Index"},
    {1034, "&Om TR58 Link"},
    // Toolbar tool tips.
    {1035, "Öppna"},
    {1036, "Spara"},
    {1037, "Skriv ut"},
    {1038, "Kopiera"},
    // Status bar panels and frame elements.
    {1040, "Meddelanden"},
    {1041, "Datum"},
    {1042, "Tid"},
    {1043, "Caps Lock"},
    {1044, "Infoga"},
    {1045, "Num Lock"},
    {1046, "Verktygsfält"},
    {1047, "Statusfält"},
    {1048, "Senast använda filer"},
    {1049, "Stoppa realtidsfönster"},
    // Communication port submenu.
    {1050, "&Autodetektera"},
    {1051, "COM&1"},
    {1052, "COM&2"},
    {1053, "COM&3"},
    {1054, "COM&4"},
    {1055, "Visa allt"},
    {1056, "Zooma in"},
    {1057, "Zooma ut"},
    {1058, "S&toppa realtidsfönster"},
    {1101, "COM&5"},
    {1102, "COM&6"},
    {1103, "COM&7"},
    {1104, "COM&8"},
    {1105, "COM&9"},
    {1106, "COM1&0"},
    {1107, "COM11"},
    {1108, "COM12"},
    {1109, "COM13"},
    {1110, "COM14"},
    {1111, "COM15"},
    {1112, "COM16"},
    {1113, "Nätverk (LAN)..."},
    // Progress window and the document's information page.
    {5002, "Kommunikation..."},
    {5003, "&Namn:"},
    {5004, "Registreringsinformation"},
    {5005, "Automatiskt registrerad data"},
    {5006, "Tid:"},
    {5007, "Intervall:"},
    {5008, "Datapunkter:"},
    {5009, "Starttid:"},
    {5010, "Stopptid:"},
    {5011, "Sammanfattningsdata"},
    {5012, "Parameter:"},
    {5013, "Enhet:"},
    {5014, "Minimum:"},
    {5015, "Maximum:"},
    {5016, "Genomsnitt:"},
    {5017, "Ante&ckningar:"},
    // Real-time settings and axis dialogs.
    {5018, "Välj mät&parametrar:"},
    {5019, "Välj &enheter:"},
    {5020, "Uppdaterings-\n&intervall:"},
    {5021, "&Högst:"},
    {5022, "&Lägst:"},
    {5023, "OK"},
    {5024, "Avbryt"},
    // File dialog and device information.
    {5025, "Läser instrumentkatalogen..."},
    {5026, "&Ladda ner"},
    {5027, "&Välj datafil(er) för nerladdning:"},
    {5028, "R&adera nerladdad(e) fil(er) från instrument"},
    {5029, "Instrumentinformation"},
    {5030, "Typ:"},
    {5031, "Version:"},
    {5032, "Serienummer:"},
    {5033, "Mätprobens serienummer:"},
    {5034, "Kalibreringsdatum:"},
    {5035, "&Stäng"},
    {5036, "&Välj datafil(er) för radering:"},
    {5037, "Radera filer"},
    {5038, "Välj datum i kalendern"},
    {5039, "till"},
    {5040, "&Radera"},
    // About, axis and print dialogs.
    {5041, "Om TR58 Link"},
    {5042, "Version: 1.16"},
    {5043, "© 2026 TR58 Link. Alla rättigheter förbehållna."},
    {5044, "&Automatisk skalning"},
    {5045, "&Första punkten:"},
    {5046, "&Sista punkten:"},
    {5047, "Skriv ut"},
    {5048, "S&krivare"},
    {5049, "Orientering:"},
    {5050, "&Stående"},
    {5051, "&Liggande"},
    {5052, "Skriv ut vad"},
    {5053, "Ladda ner filer"},
    // Status bar progress texts.
    {5054, "Klar."},
    {5055, "Raderar fil(er) från instrument..."},
    {5056, "Laddar ner datafil(er) från instrument..."},
    {5057, "Sparar fil '"},
    {5058, "Kopierar datatabell..."},
    {5059, "Exporterar fil '"},
    {5060, "Sparar fil '"},
    {5061, "Öppnar fil '"},
    {5062, "Avbryter datakommunikationen, var god vänta..."},
    {5063, "Skriver ut information..."},
    {5064, "Skriver ut diagram..."},
    {5065, "Skriver ut datatabell..."},
    {5066, "Uppdaterar realtidsfönster..."},
    {5067, "Det finns inget dokumentformulär."},
    {5068, "Vill du spara '"},
    // Messages.
    {5069,
     "Kan inte ändra realtidsfönstrets inställningar. Kontrollera följande på "
     "instrumentet:\n\n- Alarmfunktionen och den analoga utgången är deaktiverade.\n- "
     "Instrumentet registrerar ej data.\n- Instrumentet är inte i justeringsläge."},
    {5070,
     "Du tänker ändra realtidsfönstrets inställningar.\nDetta kommer att stoppa uppdateringen "
     "av realtidsfönstret. Vill du fortsätta?"},
    {5071,
     "Stoppar du realtidsfönstret, avbryts uppdateringen av fönstret med ny data.\nVill du "
     "verkligen avbryta uppdateringen?"},
    {5072,
     "Realtidsfönstret har stoppats.\n\n- Instrumentet kan vara frånslagen.\n- De "
     "mätparametrar eller enheter kan ha ändrats på instrumentet."},
    {5073, "Ett kommunikationsfel inträffade. Försök på nytt."},
    {5074, "Det finns inga datafiler i instrumentet."},
    {5076, "Kan inte hitta instrumentet i COM"},
    {5077,
     ". Kontrollera följande:\n\n- Instrumentet är fortfarande aktiverad.\n- Kabeln är "
     "korrekt ansluten.\n- Korrekt COM-port har valts."},
    {5078, "Det finns ingen COM"},
    {5079,
     " port i den här datorn, eller används den av en annan applikation. Kontrollera "
     "följande:\n\n- Den valda porten (COM"},
    {5080, ") är korrekt.\n- Kommunikationsporten används inte av någon annan applikation."},
    {5081,
     "Kan inte hitta instrumentet. Kontrollera följande:\n\n- Instrumentet är fortfarande "
     "aktiverad.\n- Kabeln är korrekt ansluten.\n- Kommunikationsporten används inte av någon "
     "annan applikation."},
    {5082,
     "Alla kommunikationsportar i den här datorn används av andra applikationer. Kontrollera "
     "följande:\n\n- Instrumentets kommunikationsport används inte av någon annan "
     "applikation."},
    {5083, "Kan inte ladda ner valda datafiler. Filen/filerna har redan raderats."},
    {5084, "Instrumentet svarar inte. Försök på nytt."},
    {5085,
     "Realtidsfönstret har nu maximalt antal datapunkter (65000).\nRealtidsfönstret har "
     "stoppats."},
    {5086, "Vänta tills dataöverföringen är klar."},
    {5087, "Kan inte skriva ut. Ingen skrivare är installerad."},
    {5088, "Utskriften avbröts."},
    {5089, "Kan inte hitta hjälpfilen."},
    {5090, "Kan inte kopiera till Urklipp."},
    {5091,
     "Kan inte radera vald(a) fil(er). Orsaken kan vara:\n\n- Filen/filerna har redan "
     "raderats.\n- Instrumentet registrerar ny data."},
    {5092, "Ingen mätprob är ansluten till instrumentet."},
    {5093,
     "Kan inte hitta den här filen. Den kan ha flyttats, raderats eller kan för tillfället "
     "vara otillgänglig."},
    {5094, "Kan inte öppna den här filen. Filen är skadad."},
    {5095,
     "Kan inte spara den här filen. Orsaken kan vara:\n\n- Du har inte satt i disketten, "
     "eller nätverksenheten är ej tillgänglig.\n- Disketten är full eller skrivskyddad.\n\n"
     "Försök spara filen på nytt på en annan diskett eller i en annan skivenhet."},
    // Document pages, device information, axis dialog, toolbar.
    {5096, "&Information"},
    {5097, "&Diagram"},
    {5098, "Data&tabell"},
    {5099, "(Ingen mätprob ansluten)"},
    {5100, "Axel"},
    {5101, "Realtidsfönster"},
    {5102, "Laddar ner instrumentdata..."},
    // Download, real-time and printing.
    {6000, "Delvis nerladdning"},
    {6001, "Manuellt registrerade data"},
    {6002, "Data i realtidsfönstret"},
    {6003, "Läser instrumentinformation..."},
    {6004, "Hittar instrumentet..."},
    {6005, "Läser instrumentets inställningar..."},
    {6006, "Realtidsinställningar"},
    {6007, "(Realtidsfönster)"},
    {6008, "Namnlös"},
    {6009, "Sida"},
    {6010, "Datafiler i instrumentet:"},
    {6011, "Namn"},
    {6012, "Första datapunkten"},
    {6013, "Datapunkter"},
    {6014, "Status"},
    {6015, "Kan raderas"},
    {6016, "Kan ej raderas"},
    {6017, "&Nyaste data från vald(a) fil(er)"},
    {6018, "Datum/tids-&intervall från vald(a) fil(er):"},
    {6019, "Datum/tidsintervallet är ogiltigt."},
    {6020,
     "Det angivna datum/tidsintervallet innehåller fler än 65000 datapunkter.\n Endast de "
     "första 65000 datapunkterna laddas ner."},
    {6021,
     "\n\nFilen raderas inte från instrumentet, eftersom inte alla dess datapunkter laddas "
     "ner."},
    {6022, "Filer som läses med datum/tidsintervall raderas inte från instrumentet."},
    // LAN connection.
    {6030, "Kan inte komma åt LAN-instrumentet. Detta kan bero på att:"},
    {6031, "\n\n- IP-adressen ("},
    {6032, ") är felaktig."},
    {6033, "\n- nätverkskablarna inte är korrekt anslutna. "},
    {6034, "\n- en eller flera nätverksenheter har konfigurerats felaktigt. "},
    {6035, "Nätverk (LAN) förbindelse"},
    {6036, "Värdnamn eller IP-adress"},
    // Port messages: a permission the user lacks, what the system said about
    // a failed open, a LAN instrument whose host answers but which does not.
    {6040, "Du har inte behörighet att använda COM"},
    {6041,
     "-porten. Kontrollera följande:\n\n- Ditt användarkonto är medlem i gruppen som äger "
     "serieportarna (på Linux oftast \"dialout\": sudo usermod -aG dialout ANVÄNDARNAMN, "
     "logga sedan ut och in igen)."},
    {6042, "Kan inte öppna COM"},
    {6043, "-porten. Systemet svarade:\n\n"},
    {6044, "Förbindelsen med LAN-instrumentet ("},
    {6045,
     ") upprättades, men instrumentet svarar inte. Kontrollera följande:\n\n- Instrumentet "
     "är påslaget.\n- Instrumentet är anslutet till nätverksenheten.\n- Inget annat program "
     "använder instrumentet."},
    // Opening a document: why the file could not be read.
    {6046,
     "Kan inte läsa den här filen. Du har inte behörighet att läsa den, eller så används den "
     "av ett annat program."},
    {6047, "Det här är en mapp, inte en datafil. Välj en datafil (*.t58) i mappen."},
    // Printing without a printer: the PDF instead.
    {6048, "Spara som &PDF..."},
    {6049,
     "Det finns ingen skrivare installerad. Du kan spara utskriften som en PDF-fil i "
     "stället."},
    {6050, "Det finns ingen skrivare installerad. Filen skrevs inte ut."},
    {6051, "PDF-dokument (*.pdf)"},
    // A real-time recording that did not end normally (its journal), at start-up.
    {6052,
     "En realtidsinspelning avslutades inte normalt (%1 mätvärden, det senaste %2).\n\n"
     "Vill du återställa den?"},
    {6053,
     "Vill du ta bort den avbrutna realtidsinspelningen?\n\nDess mätvärden går då förlorade. "
     "Svarar du Nej sparas den, och programmet frågar igen nästa gång det startar."},
    {6054, "Den avbrutna realtidsinspelningen\n%1\nkan inte läsas: %2\n\nFilen finns kvar."},
    {6055, "Filen finns inte eller kan inte öppnas."},
    {6056, "Filen är ingen realtidsinspelning, eller dess början är skadad."},
    {6057,
     "Inspelningen är skriven i formatversion %1, som den här versionen av programmet inte "
     "kan läsa."},
    {6058, "Det finns redan en realtidsinspelning i\n%1\nDen skrivs inte över."},
    {6059, "Realtidsinspelningen kan inte skrivas till disken:\n%1"},
    {6065, "Inga mätvärden att visa"},
    {6066, "&Rutnät"},
    // Qt's standard buttons in the program's language, and the information page.
    {6070, "&Ja"},
    {6071, "&Nej"},
    {6072, "Stäng"},
    {6073, "Högst tre storheter kan visas i diagrammet. Ta bort bocken för en av dem först."},
    {6080, "Nr"},
    {6081, "Tid"},
    {6082, "Fil %1 av %2"},
    {6083, "%1 av %2 datapunkter"},
    {6084, "%1 datapunkter"},
    {6085, "Väntar på instrumentet... %1 s"},
    {6086, "Radera filen %1 från instrumentet?\nDet går inte att ångra."},
    {6087, "Radera %1 filer från instrumentet?\nDet går inte att ångra."},
    {6088, "Kan inte raderas: urvalet innehåller fil(er) som instrumentet inte låter radera (%1)."},
    {6090, "TR58 Link – Hjälp"},
    {6091, "&Bakåt"},
    {6092, "&Framåt"},
    {6093, "&Innehåll"},
    {6094, "Dokumentet kunde inte skrivas ut. Kontrollera skrivaren och försök igen."},
    {6095, "%1 finns redan.\nVill du ersätta den?"},
    {6096,
     "Filen %1 hämtades inte hel: instrumentet skickade %2 av %3 datapunkter.\nFilen finns kvar i "
     "instrumentet."},
    {6097,
     "Rubriken eller anteckningarna innehåller tecken som en .t58-fil inte kan lagra. De sparas "
     "som \"?\".\nVill du spara ändå?"},
};

static_assert(stringtable::IdsAscending(kEntries),
              "the string table must be sorted by id, without duplicates");

// The languages with a table, as Qt's catalogues name them. Swedish is the
// table the program was written with, and the one in use until start-up
// chooses (see base/ProgramLanguage.h).
struct LanguageTable {
    const char* name;
    std::span<const Entry> (*entries)();
};
constexpr LanguageTable kLanguages[] = {
    {"sv", stringtable::SwedishEntries},
    {"en", stringtable::EnglishEntries},
};

// Index into kLanguages of the language Text reads. Chosen once at start-up;
// atomic so that a worker thread reading a text never sees a torn value.
std::atomic<int> chosen{0};

const LanguageTable* FindLanguage(const QString& name) {
    for (const LanguageTable& language : kLanguages)
        if (name == QLatin1String(language.name)) return &language;
    return nullptr;
}

const Entry* Find(std::span<const Entry> entries, int id) {
    const auto it = std::lower_bound(entries.begin(), entries.end(), id,
                                     [](const Entry& e, int wanted) { return e.id < wanted; });
    return it != entries.end() && it->id == id ? &*it : nullptr;
}

std::span<const Entry> Chosen() {
    return kLanguages[chosen.load(std::memory_order_relaxed)].entries();
}

QList<int> IdsOf(std::span<const Entry> entries) {
    QList<int> ids;
    ids.reserve(static_cast<qsizetype>(entries.size()));
    for (const Entry& entry : entries) ids.append(entry.id);
    return ids;
}

}  // namespace

std::span<const Entry> stringtable::SwedishEntries() {
    return kEntries;
}

QString StringTable::Text(int id) {
    const Entry* entry = Find(Chosen(), id);
    return entry ? QString::fromUtf8(entry->text) : QString();
}

QString StringTable::Text(const QString& language, int id) {
    const LanguageTable* table = FindLanguage(language);
    const Entry* entry = table ? Find(table->entries(), id) : nullptr;
    return entry ? QString::fromUtf8(entry->text) : QString();
}

bool StringTable::Contains(int id) {
    return Find(Chosen(), id) != nullptr;
}

QString StringTable::Language() {
    return QLatin1String(kLanguages[chosen.load(std::memory_order_relaxed)].name);
}

bool StringTable::SetLanguage(const QString& language) {
    const LanguageTable* table = FindLanguage(language);
    if (!table) return false;
    chosen.store(static_cast<int>(table - kLanguages), std::memory_order_relaxed);
    return true;
}

QStringList StringTable::Languages() {
    QStringList names;
    for (const LanguageTable& language : kLanguages) names << QLatin1String(language.name);
    return names;
}

QList<int> StringTable::Ids() {
    return IdsOf(Chosen());
}

QList<int> StringTable::Ids(const QString& language) {
    const LanguageTable* table = FindLanguage(language);
    return table ? IdsOf(table->entries()) : QList<int>();
}
