# Writes ingred-xlwt.xls: an ingredient sheet of three messages as another program writes it.
import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Zutaten")
rows = [
    ["Message No", "Message1", "Message2", "Message3", "Message4"],
    [1, "Wheat flour, water, salt", "", "Contains gluten", "Store dry"],
    [2.0, "Milk (72 %), cream, cultures — Ωmega", "x" * 60, "", ""],
    [3, True, "Sugar", "Cocoa", "Vanilla"],
]
for r, values in enumerate(rows):
    for c, value in enumerate(values):
        if value != "":
            sheet.write(r, c, value)
sheet.write(5, 0, 7)  # after the empty row 5: never read
book.add_sheet("Second")
book.save("ingred-xlwt.xls")
