<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Farboptionen</translation>
    </message>
    <message>
        <source>Quick Color</source>
        <translation>Farbvorgabe</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>Color as Grayscale</source>
        <translation>Farbe als Graustufen</translation>
    </message>
    <message>
        <source>Color Separation</source>
        <translation>Farbauszüge</translation>
    </message>
    <message>
        <source>EconoMode</source>
        <translation>Sparmodus</translation>
    </message>
    <message>
        <source>EdgeType</source>
        <translation>Kantenart</translation>
    </message>
    <message>
        <source>AutoTrapping</source>
        <translation>Automatisches Überfüllen</translation>
    </message>
    <message>
        <source>BlackOverprint</source>
        <translation>Schwarz überdrucken</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>Farbvorgabe:</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>Helligkeit:</translation>
    </message>
    <message>
        <source>EdgeType:</source>
        <translation>Kantenart:</translation>
    </message>
    <message>
        <source>BlackOverprint:</source>
        <translation>Schwarz überdrucken:</translation>
    </message>
    <message>
        <source>Advanced Color Options</source>
        <translation>Erweiterte Farboptionen…</translation>
    </message>
    <message>
        <source>RGB Source:</source>
        <translation>RGB-Quelle:</translation>
    </message>
    <message>
        <source>RGB Intent:</source>
        <translation>RGB-Renderpriorität:</translation>
    </message>
    <message>
        <source>RGB Gray Treatment:</source>
        <translation>RGB-Graubehandlung:</translation>
    </message>
    <message>
        <source>Destination Profile:</source>
        <translation>Zielprofil:</translation>
    </message>
    <message>
        <source>Halftone:</source>
        <translation>Raster:</translation>
    </message>
    <message>
        <source>EdgeEnhance:</source>
        <translation>Kantenoptimierung:</translation>
    </message>
    <message>
        <source>Simulation Profile:</source>
        <translation>Simulationsprofil:</translation>
    </message>
    <message>
        <source>Match Paper Color:</source>
        <translation>Papierfarbe simulieren:</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment:</source>
        <translation>CMYK-Graubehandlung:</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Graphics</source>
        <translation>Grafik</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>Management Profile</source>
        <translation>Profile verwalten…</translation>
    </message>
    <message>
        <source>Download Manager</source>
        <translation>Download-Manager…</translation>
    </message>
    <message>
        <source>Hide Advanced Options</source>
        <translation>Erweiterte Optionen ausblenden</translation>
    </message>
    <message>
        <source>Image RGB Source</source>
        <translation>RGB-Quelle (Bild)</translation>
    </message>
    <message>
        <source>Image RGB Intent</source>
        <translation>RGB-Renderpriorität (Bild)</translation>
    </message>
    <message>
        <source>Image RGB Gray Treatment</source>
        <translation>RGB-Graubehandlung (Bild)</translation>
    </message>
    <message>
        <source>Image Destination Profile</source>
        <translation>Zielprofil (Bild)</translation>
    </message>
    <message>
        <source>Image Halftone</source>
        <translation>Raster (Bild)</translation>
    </message>
    <message>
        <source>Image EdgeEnhance</source>
        <translation>Kantenoptimierung (Bild)</translation>
    </message>
    <message>
        <source>Text RGB Source</source>
        <translation>RGB-Quelle (Text)</translation>
    </message>
    <message>
        <source>Text RGB Intent</source>
        <translation>RGB-Renderpriorität (Text)</translation>
    </message>
    <message>
        <source>Text RGB Gray Treatment</source>
        <translation>RGB-Graubehandlung (Text)</translation>
    </message>
    <message>
        <source>Text Destination Profile</source>
        <translation>Zielprofil (Text)</translation>
    </message>
    <message>
        <source>Text Halftone</source>
        <translation>Raster (Text)</translation>
    </message>
    <message>
        <source>Text EdgeEnhance</source>
        <translation>Kantenoptimierung (Text)</translation>
    </message>
    <message>
        <source>Graphics RGB Source</source>
        <translation>RGB-Quelle (Grafik)</translation>
    </message>
    <message>
        <source>Graphics RGB Intent</source>
        <translation>RGB-Renderpriorität (Grafik)</translation>
    </message>
    <message>
        <source>Graphics RGB Gray Treatment</source>
        <translation>RGB-Graubehandlung (Grafik)</translation>
    </message>
    <message>
        <source>Graphics Destination Profile</source>
        <translation>Zielprofil (Grafik)</translation>
    </message>
    <message>
        <source>Graphics Halftone</source>
        <translation>Raster (Grafik)</translation>
    </message>
    <message>
        <source>Graphics EdgeEnhance</source>
        <translation>Kantenoptimierung (Grafik)</translation>
    </message>
    <message>
        <source>Simulation Profile</source>
        <translation>Simulationsprofil</translation>
    </message>
    <message>
        <source>Match Paper Color</source>
        <translation>Papierfarbe simulieren</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment</source>
        <translation>CMYK-Graubehandlung</translation>
    </message>
    <message>
        <source>Disk</source>
        <translation>Festplatte</translation>
    </message>
    <message>
        <source>Card</source>
        <translation>Speicherkarte</translation>
    </message>
    <message>
        <source>ProfileTitle</source>
        <translation>Profilverwaltung</translation>
    </message>
    <message>
        <source>Unavailable while %1 is on</source>
        <translation>Nicht verfügbar, solange „%1“ aktiviert ist</translation>
    </message>
    <message>
        <source>Unavailable while %1 is off</source>
        <translation>Nicht verfügbar, solange „%1“ deaktiviert ist</translation>
    </message>
    <message>
        <source>Unavailable while %1 is %2</source>
        <translation>Nicht verfügbar, solange „%1“ auf „%2“ steht</translation>
    </message>
    <message>
        <source>Available with the %2 %1 only</source>
        <translation>Nur verfügbar, wenn „%1“ auf „%2“ steht</translation>
    </message>
    <message>
        <source>Profile Management</source>
        <translation>Profilverwaltung</translation>
    </message>
    <message>
        <source>Profiles:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>RGB Source Profiles</source>
        <translation>RGB-Quellprofile</translation>
    </message>
    <message>
        <source>Simulation Profiles</source>
        <translation>Simulationsprofile</translation>
    </message>
    <message>
        <source>Destination Profiles</source>
        <translation>Zielprofile</translation>
    </message>
    <message>
        <source>Profile List</source>
        <translation>Profilliste</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen…</translation>
    </message>
    <message>
        <source>Profile Name:</source>
        <translation>Profilname:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Speicherort:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>In Menu</source>
        <translation>Im Menü</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>Profilname</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Speicherort</translation>
    </message>
    <message>
        <source>The printer's PPD does not offer this option</source>
        <translation>Die PPD des Druckers bietet diese Option nicht an</translation>
    </message>
    <message>
        <source>The profile service is not available</source>
        <translation>Der Profildienst ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Cancel Entry</source>
        <translation>Eintrag abbrechen</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>Dunkler</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>Heller</translation>
    </message>
    <message>
        <source>Content Type</source>
        <translation>Inhaltstyp</translation>
    </message>
</context>
</TS>
