-- The chapters link to each other as .md files, which work when read in the
-- repository; the HTML pages link to the .html files made from them.
function Link(el)
  el.target = el.target:gsub("^README%.md", "index.html")
  el.target = el.target:gsub("^([%w%-]+)%.md$", "%1.html")
  el.target = el.target:gsub("^([%w%-]+)%.md#", "%1.html#")
  return el
end
