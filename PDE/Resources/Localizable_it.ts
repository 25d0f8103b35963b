<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Opzioni colore</translation>
    </message>
    <message>
        <source>Quick Color</source>
        <translation>Colore rapido</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Luminosità</translation>
    </message>
    <message>
        <source>Color as Grayscale</source>
        <translation>Colore in scala di grigi</translation>
    </message>
    <message>
        <source>Color Separation</source>
        <translation>Separazione dei colori</translation>
    </message>
    <message>
        <source>EconoMode</source>
        <translation>Modalità economica</translation>
    </message>
    <message>
        <source>EdgeType</source>
        <translation>Tipo di bordo</translation>
    </message>
    <message>
        <source>AutoTrapping</source>
        <translation>Trapping automatico</translation>
    </message>
    <message>
        <source>BlackOverprint</source>
        <translation>Sovrastampa del nero</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>Colore rapido:</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>Luminosità:</translation>
    </message>
    <message>
        <source>EdgeType:</source>
        <translation>Tipo di bordo:</translation>
    </message>
    <message>
        <source>BlackOverprint:</source>
        <translation>Sovrastampa del nero:</translation>
    </message>
    <message>
        <source>Advanced Color Options</source>
        <translation>Opzioni colore avanzate…</translation>
    </message>
    <message>
        <source>RGB Source:</source>
        <translation>Sorgente RGB:</translation>
    </message>
    <message>
        <source>RGB Intent:</source>
        <translation>Intento di rendering RGB:</translation>
    </message>
    <message>
        <source>RGB Gray Treatment:</source>
        <translation>Trattamento dei grigi RGB:</translation>
    </message>
    <message>
        <source>Destination Profile:</source>
        <translation>Profilo di destinazione:</translation>
    </message>
    <message>
        <source>Halftone:</source>
        <translation>Retino:</translation>
    </message>
    <message>
        <source>EdgeEnhance:</source>
        <translation>Miglioramento dei bordi:</translation>
    </message>
    <message>
        <source>Simulation Profile:</source>
        <translation>Profilo di simulazione:</translation>
    </message>
    <message>
        <source>Match Paper Color:</source>
        <translation>Simula colore carta:</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment:</source>
        <translation>Trattamento dei grigi CMYK:</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Immagine</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Testo</translation>
    </message>
    <message>
        <source>Graphics</source>
        <translation>Grafica</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulazione</translation>
    </message>
    <message>
        <source>Management Profile</source>
        <translation>Gestisci profili…</translation>
    </message>
    <message>
        <source>Download Manager</source>
        <translation>Gestione download…</translation>
    </message>
    <message>
        <source>Hide Advanced Options</source>
        <translation>Nascondi opzioni avanzate</translation>
    </message>
    <message>
        <source>Image RGB Source</source>
        <translation>Sorgente RGB (immagine)</translation>
    </message>
    <message>
        <source>Image RGB Intent</source>
        <translation>Intento di rendering RGB (immagine)</translation>
    </message>
    <message>
        <source>Image RGB Gray Treatment</source>
        <translation>Trattamento dei grigi RGB (immagine)</translation>
    </message>
    <message>
        <source>Image Destination Profile</source>
        <translation>Profilo di destinazione (immagine)</translation>
    </message>
    <message>
        <source>Image Halftone</source>
        <translation>Retino (immagine)</translation>
    </message>
    <message>
        <source>Image EdgeEnhance</source>
        <translation>Miglioramento dei bordi (immagine)</translation>
    </message>
    <message>
        <source>Text RGB Source</source>
        <translation>Sorgente RGB (testo)</translation>
    </message>
    <message>
        <source>Text RGB Intent</source>
        <translation>Intento di rendering RGB (testo)</translation>
    </message>
    <message>
        <source>Text RGB Gray Treatment</source>
        <translation>Trattamento dei grigi RGB (testo)</translation>
    </message>
    <message>
        <source>Text Destination Profile</source>
        <translation>Profilo di destinazione (testo)</translation>
    </message>
    <message>
        <source>Text Halftone</source>
        <translation>Retino (testo)</translation>
    </message>
    <message>
        <source>Text EdgeEnhance</source>
        <translation>Miglioramento dei bordi (testo)</translation>
    </message>
    <message>
        <source>Graphics RGB Source</source>
        <translation>Sorgente RGB (grafica)</translation>
    </message>
    <message>
        <source>Graphics RGB Intent</source>
        <translation>Intento di rendering RGB (grafica)</translation>
    </message>
    <message>
        <source>Graphics RGB Gray Treatment</source>
        <translation>Trattamento dei grigi RGB (grafica)</translation>
    </message>
    <message>
        <source>Graphics Destination Profile</source>
        <translation>Profilo di destinazione (grafica)</translation>
    </message>
    <message>
        <source>Graphics Halftone</source>
        <translation>Retino (grafica)</translation>
    </message>
    <message>
        <source>Graphics EdgeEnhance</source>
        <translation>Miglioramento dei bordi (grafica)</translation>
    </message>
    <message>
        <source>Simulation Profile</source>
        <translation>Profilo di simulazione</translation>
    </message>
    <message>
        <source>Match Paper Color</source>
        <translation>Simula colore carta</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment</source>
        <translation>Trattamento dei grigi CMYK</translation>
    </message>
    <message>
        <source>Disk</source>
        <translation>Disco</translation>
    </message>
    <message>
        <source>Card</source>
        <translation>Scheda di memoria</translation>
    </message>
    <message>
        <source>ProfileTitle</source>
        <translation>Gestione profili</translation>
    </message>
    <message>
        <source>Unavailable while %1 is on</source>
        <translation>Non disponibile quando l’opzione «%1» è attiva</translation>
    </message>
    <message>
        <source>Unavailable while %1 is off</source>
        <translation>Non disponibile quando l’opzione «%1» è disattivata</translation>
    </message>
    <message>
        <source>Unavailable while %1 is %2</source>
        <translation>Non disponibile quando «%1» è «%2»</translation>
    </message>
    <message>
        <source>Available with the %2 %1 only</source>
        <translation>Disponibile solo quando «%1» è «%2»</translation>
    </message>
    <message>
        <source>Profile Management</source>
        <translation>Gestione profili</translation>
    </message>
    <message>
        <source>Profiles:</source>
        <translation>Profili:</translation>
    </message>
    <message>
        <source>RGB Source Profiles</source>
        <translation>Profili sorgente RGB</translation>
    </message>
    <message>
        <source>Simulation Profiles</source>
        <translation>Profili di simulazione</translation>
    </message>
    <message>
        <source>Destination Profiles</source>
        <translation>Profili di destinazione</translation>
    </message>
    <message>
        <source>Profile List</source>
        <translation>Elenco dei profili</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nome file:</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Sfoglia…</translation>
    </message>
    <message>
        <source>Profile Name:</source>
        <translation>Nome profilo:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Posizione:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Applica</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>In Menu</source>
        <translation>Nel menu</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nome file</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>Nome profilo</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Posizione</translation>
    </message>
    <message>
        <source>The printer's PPD does not offer this option</source>
        <translation>Il PPD della stampante non offre questa opzione</translation>
    </message>
    <message>
        <source>The profile service is not available</source>
        <translation>Il servizio dei profili non è disponibile</translation>
    </message>
    <message>
        <source>Cancel Entry</source>
        <translation>Annulla voce</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>Più scuro</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normale</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>Più chiaro</translation>
    </message>
    <message>
        <source>Content Type</source>
        <translation>Tipo di contenuto</translation>
    </message>
</context>
</TS>
