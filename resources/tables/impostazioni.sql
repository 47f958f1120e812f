-- Settings table: one row. LINGUA names the language of the translated windows: "Italiano"
-- (or nothing) keeps the Italian captions, any other value is a column of the language table.
create table impostazioni (LINGUA text);
insert into impostazioni (LINGUA) values ('Italiano');
