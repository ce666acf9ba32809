PROGRAM Demo;  { Words in braces stay AS THEY ARE: BEGIN END WRITELN }
USES crt, DOS, graph;

CONST
  Greeting = 'It''s BEGIN in a string, untouched';

VAR
  GraphDriver, GraphMode : INTEGER;
  Year, Month, Day, DayOfWeek : WORD;
  myCounter : longint;

PROCEDURE ShowDate;
BEGIN
  getdate(Year, Month, Day, DayOfWeek);
  TEXTCOLOR(yellow); writeln('Today: ', Day, '.', Month, '.', Year);
  textcolor(LIGHTGRAY)
END;

BEGIN
  CLRSCR;
  WriteLn(Greeting);
  ShowDate;
  (* Comments like this one ARE converted: begin writeln end *)
  FOR myCounter := 1 TO 3 DO
    IF Odd(myCounter) THEN WRITELN(myCounter) ELSE writeln('even');
  GraphDriver := DETECT;
  INITGRAPH(GraphDriver, GraphMode, '');
  IF GRAPHRESULT = grOk THEN
  BEGIN
    SetColor(White); Circle(GetMaxX DIV 2, GetMaxY DIV 2, 50);
    REPEAT UNTIL KEYPRESSED;
    CLOSEGRAPH
  END
END.
