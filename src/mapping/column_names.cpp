// column_names.cpp: the names old loggers gave their columns, in Spanish,
// English, German, French, Italian, Portuguese, Swedish, Polish and Russian (a
// Cyrillic name by its plain-ASCII spelling, as NormalisedName gives it),
// with the usual abbreviations, and the ADIF field each stands for. This is data: add a
// row for a name met in the wild.
//
// Names are compared as NormalisedName gives them (no letter case, blanks,
// underscores, hyphens, dots or accents), so RST_S, RSTS and "RST S" are
// one row, and DIRECCIÓN is written DIRECCION. The ADIF field names
// themselves need no row. A name cut at the ten characters dBase allows
// matches the rows it starts.

#include "mapping/column_guess.h"

// clang-format off
const ColumnName kColumnNames[] = {
    // The other station's call sign.
    {"INDICATIVO", "CALL"}, {"INDICATIV", "CALL"}, {"INDICAT", "CALL"},
    {"INDIC", "CALL"}, {"INDICATIF", "CALL"}, {"NOMINATIVO", "CALL"},
    {"NOMINATIV", "CALL"}, {"CALLSIGN", "CALL"}, {"CALLSGN", "CALL"},
    {"CALLS", "CALL"}, {"RUFZEICHEN", "CALL"}, {"RUFZ", "CALL"},
    {"DXCALL", "CALL"}, {"QSOCALL", "CALL"}, {"CORRESPONSAL", "CALL"},
    {"ZNAK", "CALL"}, {"ZNAKWYW", "CALL"}, {"ZNAKWYWOLAWCZY", "CALL"},
    {"POZYVNOI", "CALL"}, {"POZYVNOY", "CALL"}, {"POZYVNOJ", "CALL"},
    {"ANROPSSIGNAL", "CALL"}, {"ANROPSSIGN", "CALL"}, {"ANROP", "CALL"},

    // Date and time of the contact.
    {"FECHA", "QSO_DATE"}, {"FECHAQSO", "QSO_DATE"}, {"FECHAUTC", "QSO_DATE"},
    {"DATE", "QSO_DATE"}, {"DATEON", "QSO_DATE"}, {"DATEUTC", "QSO_DATE"},
    {"DATEQSO", "QSO_DATE"}, {"DATUM", "QSO_DATE"}, {"DATA", "QSO_DATE"},
    {"DATAQSO", "QSO_DATE"}, {"DIA", "QSO_DATE"},
    {"FECHAFIN", "QSO_DATE_OFF"}, {"DATEOFF", "QSO_DATE_OFF"},
    {"DATEEND", "QSO_DATE_OFF"}, {"DATAFINE", "QSO_DATE_OFF"},
    {"DATUMENDE", "QSO_DATE_OFF"},
    {"HORA", "TIME_ON"}, {"HORAUTC", "TIME_ON"}, {"HORAINICIO", "TIME_ON"},
    {"HORAINI", "TIME_ON"}, {"HORAI", "TIME_ON"}, {"TIME", "TIME_ON"},
    {"TIMEUTC", "TIME_ON"}, {"UTC", "TIME_ON"}, {"GMT", "TIME_ON"},
    {"HEURE", "TIME_ON"}, {"HEUREUTC", "TIME_ON"}, {"ORA", "TIME_ON"},
    {"ORAUTC", "TIME_ON"}, {"ZEIT", "TIME_ON"}, {"UHRZEIT", "TIME_ON"},
    {"UTCZEIT", "TIME_ON"}, {"START", "TIME_ON"}, {"INICIO", "TIME_ON"},
    {"QSOTIME", "TIME_ON"}, {"UTCTIME", "TIME_ON"}, {"GMTTIME", "TIME_ON"},
    {"TIMEGMT", "TIME_ON"},
    {"HORAFIN", "TIME_OFF"}, {"HORAFINAL", "TIME_OFF"}, {"HORAF", "TIME_OFF"},
    {"TIMEEND", "TIME_OFF"}, {"END", "TIME_OFF"}, {"FIN", "TIME_OFF"},
    {"HEUREFIN", "TIME_OFF"}, {"ORAFINE", "TIME_OFF"}, {"ENDE", "TIME_OFF"},
    {"ZEITENDE", "TIME_OFF"}, {"UTCFIN", "TIME_OFF"}, {"UTCEND", "TIME_OFF"},
    {"UTCOFF", "TIME_OFF"},
    {"CZAS", "TIME_ON"}, {"GODZ", "TIME_ON"}, {"GODZINA", "TIME_ON"},
    {"TID", "TIME_ON"}, {"TIDUTC", "TIME_ON"}, {"KLOCKSLAG", "TIME_ON"},
    {"VREMIA", "TIME_ON"}, {"VREMYA", "TIME_ON"}, {"VREMJA", "TIME_ON"},

    // Band, frequency, mode.
    {"BANDA", "BAND"}, {"BANDE", "BAND"}, {"BND", "BAND"},
    {"PASMO", "BAND"}, {"DIAPAZON", "BAND"},
    {"CZESTOTLIWOSC", "FREQ"}, {"CZEST", "FREQ"}, {"CHASTOTA", "FREQ"},
    {"FREKVENS", "FREQ"}, {"FREKV", "FREQ"},
    {"FRECUENCIA", "FREQ"}, {"FRECUENC", "FREQ"}, {"FRECUEN", "FREQ"},
    {"FREC", "FREQ"}, {"FREQUENCY", "FREQ"}, {"FREQUENCE", "FREQ"},
    {"FREQUENZ", "FREQ"}, {"FREQUENZA", "FREQ"}, {"FREQUENCIA", "FREQ"},
    {"QRG", "FREQ"}, {"FRQ", "FREQ"}, {"FREQKHZ", "FREQ"}, {"FREQMHZ", "FREQ"},
    {"FRECKHZ", "FREQ"}, {"FRECMHZ", "FREQ"}, {"KHZ", "FREQ"}, {"MHZ", "FREQ"},
    {"FRECRX", "FREQ_RX"}, {"QRGRX", "FREQ_RX"},
    {"MODO", "MODE"}, {"MODUS", "MODE"}, {"BETRIEBSART", "MODE"},
    {"SENDEART", "MODE"}, {"EMISION", "MODE"}, {"EMISSION", "MODE"},
    {"MODALITA", "MODE"}, {"EMISJA", "MODE"}, {"RODZAJ", "MODE"},
    {"REZHIM", "MODE"}, {"REJIM", "MODE"}, {"VID", "MODE"},
    {"TRAFIKSATT", "MODE"},

    // Signal reports.
    {"RSTS", "RST_SENT"}, {"RSTTX", "RST_SENT"}, {"RSTENV", "RST_SENT"},
    {"RSTENVIADO", "RST_SENT"}, {"RSTE", "RST_SENT"}, {"RSTDADO", "RST_SENT"},
    {"RSTGIVEN", "RST_SENT"}, {"RSTSEND", "RST_SENT"}, {"RSTSNT", "RST_SENT"},
    {"RSTOUT", "RST_SENT"}, {"RSTHIS", "RST_SENT"}, {"HISRST", "RST_SENT"},
    {"RSTGEG", "RST_SENT"}, {"RSTGES", "RST_SENT"}, {"RSTENVOYE", "RST_SENT"},
    {"RSTINV", "RST_SENT"}, {"RSTINVIATO", "RST_SENT"}, {"RSTDATO", "RST_SENT"},
    {"RSTN", "RST_SENT"}, {"RSTNAD", "RST_SENT"}, {"RAPORTN", "RST_SENT"},
    {"RSTPER", "RST_SENT"}, {"RSTOTP", "RST_SENT"},
    {"RSTR", "RST_RCVD"}, {"RSTRX", "RST_RCVD"}, {"RSTREC", "RST_RCVD"},
    {"RSTRECIBIDO", "RST_RCVD"}, {"RSTRCV", "RST_RCVD"},
    {"RSTRECV", "RST_RCVD"},
    {"RSTRECD", "RST_RCVD"}, {"RSTIN", "RST_RCVD"}, {"RSTMY", "RST_RCVD"},
    {"MYRST", "RST_RCVD"}, {"RSTERH", "RST_RCVD"}, {"RSTEMPF", "RST_RCVD"},
    {"RSTRECU", "RST_RCVD"}, {"RSTRIC", "RST_RCVD"},
    {"RSTRICEVUTO", "RST_RCVD"}, {"RSTRECEBIDO", "RST_RCVD"},
    {"RSTO", "RST_RCVD"}, {"RSTODB", "RST_RCVD"}, {"RAPORTO", "RST_RCVD"},
    {"RSTPR", "RST_RCVD"}, {"RSTPRIN", "RST_RCVD"},

    // The other station's operator and place.
    {"NOMBRE", "NAME"}, {"NOMBREOP", "NAME"}, {"NOM", "NAME"}, {"NOME", "NAME"},
    {"OPNAME", "NAME"}, {"VORNAME", "NAME"}, {"PRENOM", "NAME"},
    {"IMIE", "NAME"}, {"IMIA", "NAME"}, {"IMYA", "NAME"}, {"NAMN", "NAME"},
    {"CIUDAD", "QTH"}, {"LOCALIDAD", "QTH"}, {"POBLACION", "QTH"},
    {"CITY", "QTH"}, {"CIDADE", "QTH"}, {"CITTA", "QTH"}, {"VILLE", "QTH"},
    {"ORT", "QTH"}, {"STADT", "QTH"}, {"WOHNORT", "QTH"}, {"LUGAR", "QTH"},
    {"MIASTO", "QTH"}, {"GOROD", "QTH"},
    {"PROV", "STATE"}, {"PROVINCIA", "STATE"}, {"ESTADO", "STATE"},
    {"BUNDESLAND", "STATE"}, {"DOK", "DARC_DOK"}, {"ZONE", "CQZ"},
    {"LOCATOR", "GRIDSQUARE"}, {"LOCALIZADOR", "GRIDSQUARE"},
    {"LOCATORE", "GRIDSQUARE"}, {"LOCATEUR", "GRIDSQUARE"},
    {"LOC", "GRIDSQUARE"}, {"GRID", "GRIDSQUARE"}, {"GRIDSQ", "GRIDSQUARE"},
    {"QTHLOC", "GRIDSQUARE"}, {"QTHLOCATOR", "GRIDSQUARE"},
    {"WWL", "GRIDSQUARE"}, {"MAIDENHEAD", "GRIDSQUARE"},
    {"CUADRICULA", "GRIDSQUARE"},
    {"PAIS", "COUNTRY"}, {"PAYS", "COUNTRY"}, {"PAESE", "COUNTRY"},
    {"LAND", "COUNTRY"}, {"ENTIDAD", "COUNTRY"}, {"ENTITY", "COUNTRY"},
    {"CONTINENTE", "CONT"}, {"CONTINENT", "CONT"}, {"KONTINENT", "CONT"},
    {"CQ", "CQZ"}, {"ZONACQ", "CQZ"}, {"CQZONE", "CQZ"}, {"CQZONA", "CQZ"},
    {"ITU", "ITUZ"}, {"ZONAITU", "ITUZ"}, {"ITUZONE", "ITUZ"},
    {"ITUZONA", "ITUZ"},
    {"PREFIJO", "PFX"}, {"PREFIX", "PFX"}, {"PREFIXE", "PFX"},
    {"PREFISSO", "PFX"}, {"PRAEFIX", "PFX"},
    {"DIRECCION", "ADDRESS"}, {"DOMICILIO", "ADDRESS"}, {"ADRESSE", "ADDRESS"},
    {"INDIRIZZO", "ADDRESS"}, {"ENDERECO", "ADDRESS"},
    {"CORREO", "EMAIL"}, {"MAIL", "EMAIL"}, {"EDAD", "AGE"},
    {"DISTANCIA", "DISTANCE"}, {"DIST", "DISTANCE"}, {"ENTFERNUNG", "DISTANCE"},
    {"KM", "DISTANCE"},

    // Remarks. A memo column takes NOTES instead of COMMENT.
    {"COMENTARIO", "COMMENT"}, {"COMENTARIOS", "COMMENT"},
    {"COMENT", "COMMENT"}, {"COMMENTS", "COMMENT"}, {"COMMENTAIRE", "COMMENT"},
    {"COMMENTO", "COMMENT"}, {"COMMENTI", "COMMENT"}, {"BEMERKUNG", "COMMENT"},
    {"BEMERK", "COMMENT"}, {"KOMMENTAR", "COMMENT"},
    {"OBSERVACIONES", "COMMENT"}, {"OBSERVACION", "COMMENT"},
    {"OBSERV", "COMMENT"}, {"OBS", "COMMENT"}, {"NOTAS", "COMMENT"},
    {"NOTA", "COMMENT"}, {"NOTE", "COMMENT"}, {"NOTIZ", "COMMENT"},
    {"NOTIZEN", "COMMENT"}, {"REMARKS", "COMMENT"}, {"REMARK", "COMMENT"},
    {"RMKS", "COMMENT"},

    // QSL cards.
    {"QSLS", "QSL_SENT"}, {"QSLENV", "QSL_SENT"}, {"QSLENVIADA", "QSL_SENT"},
    {"QSLENVIADO", "QSL_SENT"}, {"QSLE", "QSL_SENT"}, {"QSLTX", "QSL_SENT"},
    {"QSLOUT", "QSL_SENT"}, {"QSLSEND", "QSL_SENT"}, {"QSLSNT", "QSL_SENT"},
    {"QSLGES", "QSL_SENT"}, {"QSLGESENDET", "QSL_SENT"},
    {"QSLENVOYEE", "QSL_SENT"}, {"QSLINV", "QSL_SENT"},
    {"QSLINVIATA", "QSL_SENT"},
    {"QSLR", "QSL_RCVD"}, {"QSLREC", "QSL_RCVD"}, {"QSLRECIBIDA", "QSL_RCVD"},
    {"QSLRECIBIDO", "QSL_RCVD"}, {"QSLRX", "QSL_RCVD"}, {"QSLIN", "QSL_RCVD"},
    {"QSLRECV", "QSL_RCVD"}, {"QSLRCV", "QSL_RCVD"}, {"QSLERH", "QSL_RCVD"},
    {"QSLERHALTEN", "QSL_RCVD"}, {"QSLEMPF", "QSL_RCVD"},
    {"QSLRECUE", "QSL_RCVD"}, {"QSLRIC", "QSL_RCVD"},
    {"QSLRICEVUTA", "QSL_RCVD"}, {"QSLRECEBIDA", "QSL_RCVD"},
    {"QSLW", "QSL_SENT"}, {"QSLWYSL", "QSL_SENT"}, {"QSLO", "QSL_RCVD"},
    {"QSLOTRZ", "QSL_RCVD"}, {"QSLPOL", "QSL_RCVD"}, {"QSLOTPR", "QSL_SENT"},
    {"QSLSKICKAD", "QSL_SENT"}, {"QSLMOTTAGEN", "QSL_RCVD"},
    {"VIA", "QSL_VIA"}, {"MANAGER", "QSL_VIA"}, {"QSLMGR", "QSL_VIA"},
    {"QSLMANAGER", "QSL_VIA"}, {"MGR", "QSL_VIA"},

    // The station's own data.
    {"MYCALL", "STATION_CALLSIGN"}, {"MICALL", "STATION_CALLSIGN"},
    {"MIINDICATIVO", "STATION_CALLSIGN"}, {"MIINDIC", "STATION_CALLSIGN"},
    {"STATION", "STATION_CALLSIGN"}, {"ESTACION", "STATION_CALLSIGN"},
    {"STATIONCALL", "STATION_CALLSIGN"}, {"OWNCALL", "STATION_CALLSIGN"},
    {"OPERADOR", "OPERATOR"}, {"OPER", "OPERATOR"}, {"OP", "OPERATOR"},
    {"OPERATEUR", "OPERATOR"}, {"OPERATORE", "OPERATOR"},
    {"MYLOC", "MY_GRIDSQUARE"}, {"MYLOCATOR", "MY_GRIDSQUARE"},
    {"MYGRID", "MY_GRIDSQUARE"}, {"MILOC", "MY_GRIDSQUARE"},
    {"MILOCATOR", "MY_GRIDSQUARE"},
    {"POTENCIA", "TX_PWR"}, {"POT", "TX_PWR"}, {"POTTX", "TX_PWR"},
    {"PWR", "TX_PWR"}, {"POWER", "TX_PWR"}, {"TXPOWER", "TX_PWR"},
    {"LEISTUNG", "TX_PWR"}, {"PUISSANCE", "TX_PWR"}, {"POTENZA", "TX_PWR"},
    {"WATTS", "TX_PWR"}, {"VATIOS", "TX_PWR"},
    {"POTRX", "RX_PWR"}, {"RXPOWER", "RX_PWR"},

    // Contests and satellites.
    {"CONCURSO", "CONTEST_ID"}, {"CONTEST", "CONTEST_ID"},
    {"CONCOURS", "CONTEST_ID"}, {"WETTBEWERB", "CONTEST_ID"},
    {"NRENV", "STX"}, {"NRSENT", "STX"}, {"NRREC", "SRX"}, {"NRRCVD", "SRX"},
    {"PROPAGACION", "PROP_MODE"}, {"PROP", "PROP_MODE"},
    {"PROPAGATION", "PROP_MODE"},
    {"SATELITE", "SAT_NAME"}, {"SATELLITE", "SAT_NAME"}, {"SAT", "SAT_NAME"},
};
// clang-format on

const int kColumnNameCount =
    static_cast<int>(sizeof kColumnNames / sizeof kColumnNames[0]);
